// Test support for the /proc provider: fixture /proc trees in a temporary
// directory, and a reader of performance-data blocks written apart from the
// provider's writer, so that the two check each other.
#ifndef TASKMELD_PLATFORM_PROCFS_TESTING_H_
#define TASKMELD_PLATFORM_PROCFS_TESTING_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace procfs::testing {

/// A directory tree under /tmp, removed with everything in it at the end.
class FixtureTree {
 public:
  FixtureTree() {
    char pattern[] = "/tmp/procfs-fixture-XXXXXX";
    root_ = mkdtemp(pattern);
  }
  FixtureTree(const FixtureTree&) = delete;
  FixtureTree& operator=(const FixtureTree&) = delete;
  ~FixtureTree() { std::filesystem::remove_all(root_); }

  std::string root() const { return root_.string(); }
  std::filesystem::path Path(const std::string& relative) const { return root_ / relative; }

  /// Writes `content` to `relative`, creating its directories.
  void Write(const std::string& relative, const std::string& content) const {
    std::filesystem::create_directories(Path(relative).parent_path());
    std::ofstream(Path(relative), std::ios::binary) << content;
  }
  void MakeDirectory(const std::string& relative) const {
    std::filesystem::create_directories(Path(relative));
  }
  void Symlink(const std::string& target, const std::string& relative) const {
    std::filesystem::create_directories(Path(relative).parent_path());
    std::filesystem::create_symlink(target, Path(relative));
  }
  void Remove(const std::string& relative) const { std::filesystem::remove_all(Path(relative)); }

 private:
  std::filesystem::path root_;
};

/// The stat fields a fixture sets; the others are filler.
struct Stat {
  std::uint32_t pid = 1;
  std::string comm = "proc";
  char state = 'S';
  std::uint32_t ppid = 1;
  std::uint64_t flags = 0x400000;
  std::uint64_t minflt = 0;
  std::uint64_t majflt = 0;
  std::uint64_t utime = 0;
  std::uint64_t stime = 0;
  int nice = 0;
  std::uint32_t threads = 1;
  std::uint64_t starttime = 0;
  std::uint32_t policy = 0;
};

/// A stat line as the kernel writes it, fields 1 to 52.
inline std::string StatLine(const Stat& s) {
  const auto n = [](auto v) { return std::to_string(v); };
  return n(s.pid) + " (" + s.comm + ") " + s.state + " " + n(s.ppid) + " 5 6 0 -1 " + n(s.flags) +
         " " + n(s.minflt) + " 0 " + n(s.majflt) + " 0 " + n(s.utime) + " " + n(s.stime) + " 0 0 " +
         n(20 + s.nice) + " " + n(s.nice) + " " + n(s.threads) + " 0 " + n(s.starttime) +
         " 1000 200 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 1 0 " + n(s.policy) +
         " 0 0 0 0 0 0 0 0 0 0 0\n";
}

/// A title list decoded from the "Counter" multi-string bytes.
inline std::map<std::uint32_t, std::u16string> DecodeTitles(
    const std::vector<std::uint8_t>& bytes) {
  std::vector<std::u16string> strings(1);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    if (unit == 0) {
      strings.emplace_back();
    } else {
      strings.back().push_back(unit);
    }
  }
  std::map<std::uint32_t, std::u16string> titles;
  for (std::size_t i = 0; i + 1 < strings.size() && !strings[i].empty(); i += 2) {
    titles[static_cast<std::uint32_t>(
        std::stoul(std::string(strings[i].begin(), strings[i].end())))] = strings[i + 1];
  }
  return titles;
}

struct Counter {
  std::uint32_t title = 0;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;
};

struct Instance {
  std::u16string name;
  std::vector<std::uint64_t> values;  // in counter order
};

struct Object {
  std::uint32_t title = 0;
  std::vector<Counter> counters;
  std::vector<Instance> instances;

  /// The value of the counter titled `title` in instance `i`; fails the test
  /// when the object has no such counter.
  std::uint64_t Value(std::size_t i, std::uint32_t counter_title) const {
    for (std::size_t j = 0; j < counters.size(); ++j) {
      if (counters[j].title == counter_title) return instances.at(i).values[j];
    }
    ADD_FAILURE() << "no counter " << counter_title;
    return 0;
  }
};

inline std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

/// Walks a block by its length fields, checking on the way that each length
/// agrees with what it spans and that every structure is 8-byte aligned.
inline std::vector<Object> DecodeBlock(const std::vector<std::uint8_t>& b) {
  std::vector<Object> objects;
  EXPECT_GE(b.size(), 88u);
  if (b.size() < 88) return objects;
  EXPECT_EQ(std::memcmp(b.data(), u"PERF", 8), 0);
  EXPECT_EQ(U32(b, 20), b.size()) << "block TotalByteLength";
  std::size_t object = U32(b, 24);
  for (std::uint32_t k = 0; k < U32(b, 28); ++k) {
    EXPECT_EQ(object % 8, 0u);
    const std::size_t object_end = object + U32(b, object);
    EXPECT_LE(object_end, b.size());
    if (object_end > b.size()) return objects;
    Object o;
    o.title = U32(b, object + 12);
    const std::uint32_t counters = U32(b, object + 32);
    EXPECT_EQ(U32(b, object + 4), U32(b, object + 8) + counters * 40) << "DefinitionLength";
    std::size_t definition = object + U32(b, object + 8);
    for (std::uint32_t j = 0; j < counters; ++j, definition += U32(b, definition)) {
      o.counters.push_back({U32(b, definition + 4), U32(b, definition + 28),
                            U32(b, definition + 32), U32(b, definition + 36)});
    }
    std::size_t instance = definition;
    for (std::uint32_t i = 0; i < U32(b, object + 40); ++i) {
      EXPECT_EQ(instance % 8, 0u);
      const std::uint32_t name_offset = U32(b, instance + 16);
      const std::uint32_t name_length = U32(b, instance + 20);
      EXPECT_LE(name_offset + name_length, U32(b, instance));
      Instance in;
      for (std::uint32_t u = 0; u + 2 < name_length; u += 2) {
        in.name.push_back(static_cast<char16_t>(b[instance + name_offset + u] |
                                                b[instance + name_offset + u + 1] << 8));
      }
      EXPECT_EQ(U32(b, instance + name_offset + name_length - 2) & 0xFFFF, 0u) << "name NUL";
      const std::size_t block = instance + U32(b, instance);
      EXPECT_EQ(block % 8, 0u);
      for (const Counter& c : o.counters) {
        EXPECT_LE(c.offset + c.size, U32(b, block));
        if (c.size == 8) {
          EXPECT_EQ(c.offset % 8, 0u);
        }
        std::uint64_t value = 0;
        std::memcpy(&value, b.data() + block + c.offset, c.size);
        in.values.push_back(value);
      }
      o.instances.push_back(in);
      instance = block + U32(b, block);
    }
    EXPECT_EQ(instance, object_end) << "object TotalByteLength";
    objects.push_back(o);
    object = object_end;
  }
  EXPECT_EQ(object, b.size());
  return objects;
}

}  // namespace procfs::testing

#endif  // TASKMELD_PLATFORM_PROCFS_TESTING_H_
