// A modal box that asks for one line of text.
#pragma once

#include <string>

// Shows Prompt above an edit holding Value; true and the entered text in
// Value when confirmed with OK, else Value stays as it was.
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);
