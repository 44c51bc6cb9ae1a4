#pragma once
// A height-balanced (AVL) search tree of item numbers, ordered by a caller's
// three-way comparison. Used to de-duplicate and order the entries of builds,
// imports and exports: an insert either places the item or names the equal
// one already present. Nodes live in one array, so freeing a tree of several
// hundred thousand items is a single release.

#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

namespace zv::config {

template <class Compare>  // int compare(uint32_t a, uint32_t b)
class AvlTree {
public:
    static constexpr uint32_t None = UINT32_MAX;

    explicit AvlTree(Compare compare, size_t expected = 0) : compare_(std::move(compare)) {
        nodes_.reserve(expected + 1);
        nodes_.push_back(Node{});  // node 0 is the empty subtree
    }

    size_t size() const { return nodes_.size() - 1; }

    // Inserts item; returns None when it was placed, else the item that
    // compares equal to it (the tree is left unchanged). A key, when given,
    // must agree with the comparison wherever two keys differ
    // (key(a) < key(b) only if a < b); equal keys defer to the comparison.
    // Keys keep most comparisons inside the tree's own nodes.
    uint32_t insert(uint32_t item, uint64_t key = 0) {
        uint32_t path[MaxDepth];
        int goRight[MaxDepth];
        int depth = 0;
        uint32_t n = root_;
        // Text tables mostly come sorted: an item above the largest one
        // goes down the right spine without further comparisons.
        int above = 0;
        if (last_) {
            above = compare(item, key, nodes_[last_]);
            if (above == 0) return nodes_[last_].item;
        }
        while (n) {
            int c = above > 0 ? 1 : compare(item, key, nodes_[n]);
            if (c == 0) return nodes_[n].item;
            path[depth] = n;
            goRight[depth] = c > 0;
            ++depth;
            n = c > 0 ? nodes_[n].right : nodes_[n].left;
        }
        uint32_t fresh = static_cast<uint32_t>(nodes_.size());
        nodes_.push_back(Node{key, item, 0, 0, 1});
        if (!last_ || above > 0) last_ = fresh;
        uint32_t child = fresh;
        // Walk back up, re-attaching and rebalancing each subtree.
        for (int i = depth - 1; i >= 0; --i) {
            uint32_t p = path[i];
            if (goRight[i]) nodes_[p].right = child;
            else nodes_[p].left = child;
            uint8_t before = nodes_[p].height;
            child = rebalance(p);
            if (child == p && nodes_[p].height == before) {
                // Nothing above changes any more.
                return None;
            }
        }
        root_ = child;
        return None;
    }

    // Calls f(item) for every item in ascending order.
    template <class F>
    void forEach(F f) const {
        uint32_t stack[MaxDepth];
        int top = 0;
        uint32_t n = root_;
        while (n || top) {
            while (n) {
                stack[top++] = n;
                n = nodes_[n].left;
            }
            n = stack[--top];
            f(nodes_[n].item);
            n = nodes_[n].right;
        }
    }

    // Hands the node storage to a thread that frees it, so that the caller
    // does not wait for a large release; join the returned thread (or let it
    // join itself) when convenient.
    std::jthread releaseInBackground() {
        std::vector<Node> gone;
        gone.swap(nodes_);
        nodes_.push_back(Node{});
        root_ = last_ = 0;
        return std::jthread([g = std::move(gone)]() mutable { std::vector<Node>().swap(g); });
    }

private:
    // An AVL tree of 2^32 nodes is at most 1.44 * 32 levels high.
    static constexpr int MaxDepth = 48;

    struct Node {
        uint64_t key = 0;
        uint32_t item = 0;
        uint32_t left = 0, right = 0;
        uint8_t height = 0;
    };

    int compare(uint32_t item, uint64_t key, const Node& n) const {
        if (key != n.key) return key < n.key ? -1 : 1;
        return compare_(item, n.item);
    }
    int height(uint32_t n) const { return nodes_[n].height; }
    void update(uint32_t n) {
        int l = height(nodes_[n].left), r = height(nodes_[n].right);
        nodes_[n].height = static_cast<uint8_t>((l > r ? l : r) + 1);
    }
    uint32_t rotateRight(uint32_t n) {
        uint32_t l = nodes_[n].left;
        nodes_[n].left = nodes_[l].right;
        nodes_[l].right = n;
        update(n);
        update(l);
        return l;
    }
    uint32_t rotateLeft(uint32_t n) {
        uint32_t r = nodes_[n].right;
        nodes_[n].right = nodes_[r].left;
        nodes_[r].left = n;
        update(n);
        update(r);
        return r;
    }
    uint32_t rebalance(uint32_t n) {
        update(n);
        int balance = height(nodes_[n].left) - height(nodes_[n].right);
        if (balance > 1) {
            if (height(nodes_[nodes_[n].left].left) < height(nodes_[nodes_[n].left].right))
                nodes_[n].left = rotateLeft(nodes_[n].left);
            return rotateRight(n);
        }
        if (balance < -1) {
            if (height(nodes_[nodes_[n].right].right) < height(nodes_[nodes_[n].right].left))
                nodes_[n].right = rotateRight(nodes_[n].right);
            return rotateLeft(n);
        }
        return n;
    }

    Compare compare_;
    std::vector<Node> nodes_;
    uint32_t root_ = 0;
    uint32_t last_ = 0;  // the node of the largest item
};

}  // namespace zv::config
