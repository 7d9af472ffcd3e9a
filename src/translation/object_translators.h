// Translators for properties whose value is an object the built-in rules do not cover (the
// built-in ones take strings, string lists and collections). A process-wide list, each entry
// bound to a class.
//
// Threads: registering and finding may happen on any thread.
#pragma once

#include <functional>
#include <string>

#include "core/class_info.h"
#include "core/object.h"

namespace chronel {

// Translates one text in place, as the engine translates a string property.
using TTranslateText = std::function<void(std::string& text)>;
// Translates the texts held by `value`; runs during a translation pass, on its thread.
using TObjectTranslator = std::function<void(TObject& value, const TTranslateText& translate)>;

void RegisterObjectTranslator(const TClassInfo& objectClass, TObjectTranslator handler);

// The first translator registered for the class of `value` or one of its ancestors; empty when
// there is none.
TObjectTranslator FindObjectTranslator(const TObject& value);

}  // namespace chronel
