#pragma once
#include <string>

namespace quizdesk {

// Fits a test path (Windows-1252 text) into a stored text field of fieldSize bytes. A path
// that fits is kept whole. A longer one keeps its file name and as many of the folders just
// above it as fit, whole, behind "...": "/home/a/b/c/test.tst" may become ".../c/test.tst".
// A file name that alone is too long keeps its last characters, extension included.
std::string FitPathToField(const std::string& path, int fieldSize);

}  // namespace quizdesk
