#pragma once
// Photographs of single dialogs for the documentation, shown with settings
// that make their parts visible.

#include <string>

// `name` is the picture's name ("dlg-trigger", "dlg-i2c-setting",
// "save-index-range", "hakei-mode"); false
// for an unknown name or a picture that cannot be written.
bool PhotographDialog(const std::string& name, const std::string& path);
