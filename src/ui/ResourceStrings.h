#pragma once

// The window's string resources: menu captions and toolbar hints are designed
// as resource numbers and replaced by their texts when the window loads.

#include <QString>
#include <optional>

class QWidget;

namespace sorobe {

// The text of resource `number`, or none when there is no such resource.
std::optional<QString> resourceString(int number);

// Replaces every caption and hint of the form that is written as a resource
// number by that resource's text. A text that is not a number, or a number
// without a resource, stays as it is; nothing here fails loudly.
void loadResourceCaptions(QWidget* form);

} // namespace sorobe
