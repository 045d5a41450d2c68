#!/usr/bin/env python3
"""Draws the VOKT icon (a density curve with its upper tail shaded) as SVG,
then renders the hicolor PNG sizes with rsvg-convert (Debian librsvg2-bin).
Run from this folder; the output is committed, the build only copies it."""
import math
import subprocess

MU, SD, BASE, TOP = 54.0, 15.0, 98.0, 74.0


def y(x):
    return BASE - TOP * math.exp(-0.5 * ((x - MU) / SD) ** 2)


pts = [(14 + i, y(14 + i)) for i in range(0, 101, 2)]
curve = "M" + " L".join(f"{x:.0f} {v:.1f}" for x, v in pts)
cut = MU + SD  # one standard deviation above the mean
tail = [(cut, y(cut))] + [(x, v) for x, v in pts if x > cut]
shade = (f"M{cut:.1f} {BASE:.0f} " + " ".join(f"L{x:.1f} {v:.1f}" for x, v in tail)
         + f" L114 {BASE:.0f} Z")
svg = f'''<?xml version="1.0" encoding="UTF-8"?>
<!-- VOKT: a density curve with its upper tail shaded. Made by make_icon.py. -->
<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">
  <rect x="4" y="4" width="120" height="120" rx="22" fill="#f5f7fc" stroke="#1f2f6b" stroke-width="4"/>
  <path d="{shade}" fill="#3a5fcd"/>
  <path d="{curve}" fill="none" stroke="#111827" stroke-width="5" stroke-linecap="round" stroke-linejoin="round"/>
  <line x1="12" y1="100.5" x2="116" y2="100.5" stroke="#111827" stroke-width="5" stroke-linecap="round"/>
</svg>
'''
with open("org.vokt.Vokt.svg", "w") as f:
    f.write(svg)
for size in (16, 22, 24, 32, 48, 64, 128, 256):
    subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "org.vokt.Vokt.svg",
                    "-o", f"{size}.png"], check=True)
