#include "reports/process_tree.h"

#include <algorithm>
#include <string>

#include "reports/messages.h"
#include "reports/selection.h"
#include "reports/text_format.h"

namespace {

// A search of the tree visits a map's own keys before going deeper, and the
// subtrees of lower keys first. Of two nodes with the same id it therefore
// meets first the one whose chain of ancestor ids is lexicographically
// smaller, a chain that is a prefix of the other counting as smaller.
std::vector<std::uint32_t> AncestorIds(const ProcessTree& tree, std::size_t node) {
  std::vector<std::uint32_t> ids;
  for (std::size_t n = tree.nodes[node].parent; n != kNoNode; n = tree.nodes[n].parent) {
    ids.push_back(tree.nodes[n].process_id);
  }
  std::reverse(ids.begin(), ids.end());
  return ids;
}

}  // namespace

std::size_t FindProcessNode(const ProcessTree& tree, std::uint32_t process_id) {
  const auto found = tree.by_id.find(process_id);
  if (found == tree.by_id.end()) return kNoNode;
  std::size_t best = found->second;
  if (tree.nodes[best].next_with_same_id == kNoNode) return best;
  std::vector<std::uint32_t> best_path = AncestorIds(tree, best);
  for (std::size_t n = tree.nodes[best].next_with_same_id; n != kNoNode;
       n = tree.nodes[n].next_with_same_id) {
    std::vector<std::uint32_t> path = AncestorIds(tree, n);
    if (path < best_path) {
      best = n;
      best_path = std::move(path);
    }
  }
  return best;
}

void AttachProcessNode(ProcessTree* tree, const ProcessRecord& record) {
  const std::size_t parent = FindProcessNode(*tree, record.parent_process_id);
  std::map<std::uint32_t, std::size_t>& siblings =
      parent == kNoNode ? tree->roots : tree->nodes[parent].children;
  if (siblings.contains(record.process_id)) return;
  const std::size_t index = tree->nodes.size();
  siblings.emplace(record.process_id, index);
  ProcessTreeNode node;
  node.process_id = record.process_id;
  node.parent_process_id = record.parent_process_id;
  node.record = &record;
  node.parent = parent;
  node.depth = parent == kNoNode ? 0 : tree->nodes[parent].depth + 1;
  tree->nodes.push_back(std::move(node));
  // Two nodes of one id never share their chain of ancestor ids (a map holds
  // an id once), so the search's choice does not depend on the chain's order.
  const auto [first, inserted] = tree->by_id.try_emplace(record.process_id, index);
  if (!inserted) {
    tree->nodes[index].next_with_same_id = first->second;
    first->second = index;
  }
}

namespace {

void PrintNodeLine(const ProcessTreeNode& node, std::u16string* indented) {
  indented->assign(std::size_t{node.depth} * 2, u' ');
  indented->append(NameOf(*node.record));
  // The name column holds 259 units; a deeper indent cuts the name.
  if (indented->size() > kMaxNameUnits) indented->resize(kMaxNameUnits);
  const ProcessRecord& r = *node.record;
  Print(u"%-30s %5u %3u %3u %4u %7u %7u %7u\n",
        {*indented, node.process_id, r.priority_base, r.thread_count, r.handle_count,
         KiloBytes(r.virtual_bytes), KiloBytes(r.working_set), KiloBytes(r.private_bytes)});
}

}  // namespace

void PrintProcessSubtree(const ProcessTree& tree) {
  // Pre-order with an explicit stack: a chain of many thousand processes
  // must not exhaust the call stack.
  using Cursor = std::map<std::uint32_t, std::size_t>::const_iterator;
  std::vector<std::pair<Cursor, Cursor>> stack;
  stack.emplace_back(tree.roots.begin(), tree.roots.end());
  std::u16string indented;
  while (!stack.empty()) {
    auto& [next, end] = stack.back();
    if (next == end) {
      stack.pop_back();
      continue;
    }
    const ProcessTreeNode& node = tree.nodes[next->second];
    ++next;
    PrintNodeLine(node, &indented);
    stack.emplace_back(node.children.begin(), node.children.end());
  }
}

bool PrintProcessTree() {
  ProcessTable table;
  if (!BuildProcessTable(&table)) {
    Print(kCannotSnapshotProcesses);
    return false;
  }
  ProcessTree tree;
  tree.nodes.reserve(table.size());
  for (std::size_t i = 0; i + 1 < table.size(); ++i) AttachProcessNode(&tree, table[i]);
  Print(u"Name                             Pid Pri Thd  Hnd      VM      WS    Priv\n");
  PrintProcessSubtree(tree);
  return true;
}
