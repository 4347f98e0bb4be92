// Adds the texts a control hands through item structures to the listing, one
// item each, batch by batch.
#pragma once

#include "listreader/remote/RemoteTexts.h"

#include <functional>

namespace quorvel {

// One item for each of the count queries, in order, made a batch at a time
// so that a count that lies costs no memory up front; a fetch that failed
// adds an unreadable item. With an unchecked count, a batch of which no item
// exists lies past the end of a count that claims too many: ending there
// keeps a lie from costing billions of messages; and only a failed item
// before one that answered is taken as the list's own.
enum class CountIs { checked, unchecked };
void addTextItems(Reading& reading, RemoteMemory& memory, const TextMessage& m, std::int32_t count,
                  const std::function<TextQuery(std::int32_t)>& query, CountIs countIs = CountIs::checked);

} // namespace quorvel
