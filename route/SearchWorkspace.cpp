// Sizing and cleaning a search's working state.
#include "route/SearchWorkspace.h"

#include "route/SearchGraph.h"

namespace {

constexpr SearchVertex cleanState{0.0f, 0};
constexpr SearchLinks cleanLinks{SearchGraph::none, OpenList::unseen};

}  // namespace

void SearchWorkspace::begin(const SearchGraph& graph)
{
    if (state_.size() != graph.size()) {
        state_.assign(graph.size(), cleanState);
        links_.assign(graph.size(), cleanLinks);
        estimates_.assign(graph.size(), 0.0f);
        children_.assign(graph.size(), 0);
    } else {
        // Only reached vertices become predecessors, so only they have children.
        for (uint32_t vertex : reached_) {
            state_[vertex] = cleanState;
            links_[vertex] = cleanLinks;
            estimates_[vertex] = 0.0f;
            children_[vertex] = 0;
        }
    }
    reached_.clear();
    open_.reset(links_.data());
    stack_.clear();
}

std::size_t SearchWorkspace::bytes() const
{
    return state_.capacity() * sizeof(SearchVertex) + links_.capacity() * sizeof(SearchLinks) + estimates_.capacity() * sizeof(float)
        + children_.capacity() * sizeof(uint32_t)
        + reached_.capacity() * sizeof(uint32_t) + open_.bytes() + stack_.capacity() * sizeof(Frame);
}
