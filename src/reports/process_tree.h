// The family tree (-t): every process indented under the process that created
// it, siblings in ascending id order.
#ifndef TASKMELD_REPORTS_PROCESS_TREE_H_
#define TASKMELD_REPORTS_PROCESS_TREE_H_

#include <cstdint>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "snapshot/process_table.h"

inline constexpr std::size_t kNoNode = static_cast<std::size_t>(-1);

/// One attached process. Nodes live in the tree's arena and refer to each
/// other by index, so that neither a deep tree's teardown nor its printing
/// recurses.
struct ProcessTreeNode {
  std::map<std::uint32_t, std::size_t> children;  // process id -> node index
  std::uint32_t process_id = 0;
  std::uint32_t parent_process_id = 0;
  const ProcessRecord* record = nullptr;
  std::size_t parent = 0;                   // node index, or kNoNode at the top level
  std::size_t next_with_same_id = kNoNode;  // node index, or kNoNode for the last
  std::uint32_t depth = 0;
};

struct ProcessTree {
  std::vector<ProcessTreeNode> nodes;
  std::map<std::uint32_t, std::size_t> roots;  // the top level
  // The first attached node of each process id, so that a parent is found
  // without searching the tree; one id may stand in several maps, and its
  // later nodes follow the chain of next_with_same_id.
  std::unordered_map<std::uint32_t, std::size_t> by_id;
};

/// Attaches `record` under the node its parent id finds, or at the top level;
/// a record whose id that map already holds is left out.
void AttachProcessNode(ProcessTree* tree, const ProcessRecord& record);

/// The node with `process_id` that a search of the whole tree meets first:
/// a map's own keys before any deeper level, lower ids' subtrees first.
/// kNoNode when there is none.
std::size_t FindProcessNode(const ProcessTree& tree, std::uint32_t process_id);

/// Prints the tree in pre-order, two blanks of indent per level.
void PrintProcessSubtree(const ProcessTree& tree);

/// Prints the header and the tree of every process but the total instance.
/// False, after "Cannot create the snapshot of processes.", when the table
/// cannot be built.
bool PrintProcessTree();

#endif  // TASKMELD_REPORTS_PROCESS_TREE_H_
