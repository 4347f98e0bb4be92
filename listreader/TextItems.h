// Adds the texts a control hands through item structures to the listing, one
// item each, batch by batch.
#pragma once

#include "listreader/RemoteTexts.h"

namespace quorvel {

// One item per query, in order; a fetch that failed adds none.
void addTextItems(Reading& reading, RemoteMemory& memory, const TextMessage& m, std::span<const TextQuery> queries);

} // namespace quorvel
