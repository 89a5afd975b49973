// Sizing and cleaning a search's working state.
#include "route/SearchWorkspace.h"

#include "route/SearchGraph.h"

namespace {

constexpr SearchVertex cleanState{0.0f, 0, 0, OpenList::unseen};

}  // namespace

void SearchWorkspace::begin(const SearchGraph& graph)
{
    if (state_.size() != graph.size()) {
        state_.assign(graph.size(), cleanState);
        previous_.assign(graph.size(), SearchGraph::none);
        estimates_.assign(graph.size(), 0.0f);
    } else {
        // Only reached vertices become predecessors, so only they have children.
        for (uint32_t vertex : reached_) {
            state_[vertex] = cleanState;
            previous_[vertex] = SearchGraph::none;
            estimates_[vertex] = 0.0f;
        }
    }
    reached_.clear();
    open_.reset(state_.data());
    stack_.clear();
}

std::size_t SearchWorkspace::bytes() const
{
    return state_.capacity() * sizeof(SearchVertex) + previous_.capacity() * sizeof(uint32_t) + estimates_.capacity() * sizeof(float)
        + reached_.capacity() * sizeof(uint32_t) + open_.bytes() + stack_.capacity() * sizeof(Frame);
}
