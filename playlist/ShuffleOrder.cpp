#include "ShuffleOrder.h"

#include <chrono>
#include <utility>

namespace tunola {

void RebuildShuffle(TShuffleOrder& order, const TZuPlaylistItems& items) {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<uint32_t>(now), static_cast<uint32_t>(now >> 32)};
    std::mt19937 random(seed);
    RebuildShuffle(order, items.Count(), random);
}

void RebuildShuffle(TShuffleOrder& order, int count, std::mt19937& random) {
    order.clear();
    if (count <= 0)
        return;
    order.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order.push_back(std::to_string(i));
    std::uniform_int_distribution<int> anyPosition(0, count - 1);
    for (int i = 0; i < count; ++i)
        std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(anyPosition(random))]);
}

} // namespace tunola
