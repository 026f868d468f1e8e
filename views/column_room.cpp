#include "views/column_room.h"

#include <algorithm>
#include <cstddef>

namespace kel {

namespace {

// The remainder of the rounding down goes a pixel each to the first columns with a weight.
void split(long long total, const std::vector<long long> &weights, std::vector<int> &shares)
{
    long long sum = 0;
    for (long long w : weights)
        sum += w;
    long long given = 0;
    for (std::size_t c = 0; c < weights.size(); ++c) {
        const long long part = total * weights[c] / sum;
        shares[c] += static_cast<int>(part);
        given += part;
    }
    for (std::size_t c = 0; given < total && c < weights.size(); ++c)
        if (weights[c] > 0) {
            ++shares[c];
            ++given;
        }
}

} // namespace

std::vector<int> ShareRoom(const std::vector<int> &lacking, const std::vector<bool> &text, int room)
{
    const std::size_t n = std::min(lacking.size(), text.size());
    std::vector<int> shares(lacking.size(), 0);
    if (room <= 0)
        return shares;
    std::vector<long long> need(n, 0);
    std::vector<long long> equal(n, 0);
    long long needed = 0;
    for (std::size_t c = 0; c < n; ++c) {
        if (!text[c])
            continue;
        need[c] = std::max(lacking[c], 0);
        needed += need[c];
        equal[c] = 1;
    }
    if (std::find(equal.begin(), equal.end(), 1) == equal.end())
        return shares;
    if (needed >= room) {
        split(room, need, shares);
        return shares;
    }
    for (std::size_t c = 0; c < n; ++c)
        shares[c] = static_cast<int>(need[c]);
    split(room - needed, equal, shares);
    return shares;
}

} // namespace kel
