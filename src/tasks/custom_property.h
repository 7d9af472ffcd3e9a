// Custom properties: values the property store reads and writes through a handler instead of a
// published property. A property-list path whose last part starts with "*" names one
// ("cbMode.*ItemIndex"). "ItemIndex" is known from the start: the selected index of a combo box
// (any object publishing an integer ItemIndex), stored as decimal text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace chronel {

class TObject;

struct TCustomPropertyHandler {
  std::function<std::string(TObject& object)> Get;
  // Gets the stored text.
  std::function<void(TObject& object, std::string_view value)> Set;
};

// Any thread: the list is locked while it is changed or searched. A later registration of the
// same name (compared without regard to case) replaces the earlier one.
void RegisterCustomProperty(std::string name, TCustomPropertyHandler handler);
std::optional<TCustomPropertyHandler> FindCustomProperty(std::string_view name);

}  // namespace chronel
