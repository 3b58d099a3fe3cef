#pragma once
// The order of random play: the entry indices 0 … n − 1 shuffled, as decimal strings. The
// playlist window owns one and rebuilds it after every change of the list; the playback
// controller reads the index at the play position.
// UI thread.

#include "ZuPlaylistItems.h"

#include <random>
#include <string>
#include <vector>

namespace tunola {

using TShuffleOrder = std::vector<std::string>;

// Refills `order` for the entries of `items`, shuffled by a generator seeded from the clock.
void RebuildShuffle(TShuffleOrder& order, const TZuPlaylistItems& items);

// The same for `count` entries with the caller's generator. Every position swaps with a
// position drawn from the whole list, in turn from the first to the last.
void RebuildShuffle(TShuffleOrder& order, int count, std::mt19937& random);

} // namespace tunola
