#include "hostdata/columns_read.h"

#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <utility>

namespace vatrix {

namespace {

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    statement = nullptr;
  }
  return Statement(statement, sqlite3_finalize);
}

std::string Text(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? text : "";
}

// The table a root page holds, or the table an index on it serves and the table column
// behind each index column (negative for an expression).
struct Root {
  std::string table;
  bool is_index = false;
  std::vector<int> index_columns;
};

std::map<int, Root> RootPages(sqlite3* db) {
  std::map<int, Root> roots;
  Statement schema = Prepare(db,
                             "SELECT type, tbl_name, rootpage, name FROM main.sqlite_schema "
                             "WHERE type IN ('table', 'index') AND rootpage > 0");
  Statement index_info = Prepare(db, "SELECT cid FROM pragma_index_info(?) ORDER BY seqno");
  if (!schema || !index_info) return roots;
  while (sqlite3_step(schema.get()) == SQLITE_ROW) {
    Root root{Text(schema.get(), 1), Text(schema.get(), 0) == "index", {}};
    if (root.is_index) {
      const std::string name = Text(schema.get(), 3);
      sqlite3_bind_text(index_info.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
      while (sqlite3_step(index_info.get()) == SQLITE_ROW) {
        root.index_columns.push_back(sqlite3_column_int(index_info.get(), 0));
      }
      sqlite3_reset(index_info.get());
    }
    roots[sqlite3_column_int(schema.get(), 2)] = std::move(root);
  }
  return roots;
}

void Mark(int column, std::vector<bool>* flags) {
  if (column < 0) return;
  if (flags->size() <= static_cast<size_t>(column)) flags->resize(column + 1, false);
  (*flags)[column] = true;
}

}  // namespace

std::optional<std::map<std::string, std::vector<bool>>> ColumnsRead(sqlite3* db,
                                                                    const std::string& sql) {
  Statement program = Prepare(db, "EXPLAIN " + sql);
  if (!program) return std::nullopt;
  // Columns: addr, opcode, p1, p2, p3, p4, p5, comment. Cursors are opened on main (p3 0) by
  // OpenRead or ReopenIdx; Column reads position p2 of cursor p1. A cursor number may be
  // opened more than once, and a read may come before its open in the program's order.
  std::multimap<int, int> cursor_roots;
  std::vector<std::pair<int, int>> reads;
  while (sqlite3_step(program.get()) == SQLITE_ROW) {
    const auto* opcode = reinterpret_cast<const char*>(sqlite3_column_text(program.get(), 1));
    if (opcode == nullptr) continue;
    const int p1 = sqlite3_column_int(program.get(), 2);
    const int p2 = sqlite3_column_int(program.get(), 3);
    if (std::strcmp(opcode, "OpenRead") == 0 || std::strcmp(opcode, "ReopenIdx") == 0) {
      if (sqlite3_column_int(program.get(), 4) == 0) cursor_roots.emplace(p1, p2);
    } else if (std::strcmp(opcode, "Column") == 0) {
      reads.emplace_back(p1, p2);
    }
  }
  const std::map<int, Root> roots = RootPages(db);
  std::map<std::string, std::vector<bool>> columns;
  // An index opened counts as reading all its columns: a seek compares them without reading.
  for (const auto& [cursor, root_page] : cursor_roots) {
    const auto root = roots.find(root_page);
    if (root == roots.end()) continue;
    std::vector<bool>& flags = columns[root->second.table];
    for (const int column : root->second.index_columns) Mark(column, &flags);
  }
  for (const auto& [cursor, position] : reads) {
    const auto [first, last] = cursor_roots.equal_range(cursor);
    for (auto open = first; open != last; ++open) {
      const auto root = roots.find(open->second);
      if (root != roots.end() && !root->second.is_index) {
        Mark(position, &columns[root->second.table]);
      }
    }
  }
  return columns;
}

}  // namespace vatrix
