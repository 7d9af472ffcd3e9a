// The conditions a schedule cannot express: the n-th or last weekday of the month, and the
// last day of the month. Tested at the moment a task's schedule falls due; a task runs only
// when they hold.
#pragma once

#include "core/date_time.h"
#include "tasks/task_list_item.h"

namespace chronel {

// WEEKDAY: `now`'s weekday is the n-th of its month (1-5) for an n in the ordinal list, or the
// last one (6). An instant at exactly midnight counts towards the previous occurrence.
// MONTHLY with days added only to catch the last day: on such a day only when it is the last.
// Any other task: always.
bool PassesDueFilter(const TTaskListItem& task, TDateTime now);

}  // namespace chronel
