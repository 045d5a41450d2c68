// Copy graph and Save graph: a graph page as a picture on the clipboard, or
// in a PNG or SVG file.
#pragma once

#include <string>

class QWidget;

namespace vokt::ui {

// The page as a picture on the clipboard, at the screen's pixel ratio.
void CopyGraph(QWidget* page);
// Asks for a file name (preset presetName) and writes the page there as PNG
// or SVG; description goes into the SVG file.  Raises ArgumentError when
// the file cannot be written.
void SaveGraph(QWidget* page, const std::string& presetName, const std::string& description);

}  // namespace vokt::ui
