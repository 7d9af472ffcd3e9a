#include "tasks/custom_property.h"

#include <mutex>
#include <utility>
#include <vector>

#include "core/numbers.h"
#include "core/object.h"
#include "core/property.h"
#include "core/text.h"

namespace chronel {
namespace {

TCustomPropertyHandler ItemIndexHandler() {
  return {
      [](TObject& object) {
        return std::to_string(object.Property("ItemIndex").GetOrdinal(object));
      },
      [](TObject& object, std::string_view value) {
        const std::optional<int32_t> index = TryStrToInt(value);
        if (index) object.Property("ItemIndex").SetOrdinal(object, *index);
      },
  };
}

struct THandlerList {
  std::mutex Lock;
  std::vector<std::pair<std::string, TCustomPropertyHandler>> Handlers{
      {"ItemIndex", ItemIndexHandler()}};
};

THandlerList& Handlers() {
  static THandlerList list;
  return list;
}

}  // namespace

void RegisterCustomProperty(std::string name, TCustomPropertyHandler handler) {
  THandlerList& list = Handlers();
  std::lock_guard lock(list.Lock);
  for (auto& [known, existing] : list.Handlers) {
    if (!SameTextAscii(known, name)) continue;
    existing = std::move(handler);
    return;
  }
  list.Handlers.emplace_back(std::move(name), std::move(handler));
}

std::optional<TCustomPropertyHandler> FindCustomProperty(std::string_view name) {
  THandlerList& list = Handlers();
  std::lock_guard lock(list.Lock);
  for (const auto& [known, handler] : list.Handlers) {
    if (SameTextAscii(known, name)) return handler;
  }
  return std::nullopt;
}

}  // namespace chronel
