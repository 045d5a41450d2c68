// String table of VOKT: texts addressed by integer id (names, user-interface texts,
// messages, formulas, range hints and remarks).
#pragma once

#include <string>
#include <vector>

namespace vokt {

// The text with the given id, or "" when the table holds no text for it.
std::string LoadString(int id);

// True when the table holds a text for the id.
bool HasString(int id);

// Every id of the table in the order of the table.
std::vector<int> AllStringIds();

}  // namespace vokt
