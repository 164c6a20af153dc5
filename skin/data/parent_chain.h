#pragma once
// Walks along PARENTCLASS links, resolved for every section at once. Each section has at most one
// parent, so the links form chains that may end in a loop; a hostile skin can make them as long
// as it has sections, and resolving them one lookup at a time would cost the square of that.

#include <span>
#include <vector>

namespace kestrune::skin {

// For every node i, the first node of its walk i, parent[i], parent[parent[i]], ... for which
// `has` is non-zero, or -1 when the walk ends (a parent of -1, or a node it has already visited)
// without one. A walk that enters a loop goes round it once. Linear in the number of nodes.
[[nodiscard]] std::vector<int> FirstOnChain(std::span<const int> parent, std::span<const char> has);

}  // namespace kestrune::skin
