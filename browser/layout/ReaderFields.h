#pragma once
// The name a screen reader gives a form field of the page (a text field, a password field, a
// text area): its aria-label; else the text of the <label for> naming its id; else of the
// <label> around it; else its placeholder; else its title; else, for pages that label their
// fields by layout alone, the text right before it (in its own block, or in the table cell to
// its left). White space collapsed; empty when nothing names it.

#include <string>

namespace browser {

class Node;

std::string FieldName(const Node& field);

}  // namespace browser
