// Translation of query texts in the provider's dialect (hash-delimited dates, bracketed names,
// IIf / IsNull / Val / Format / ..., True / False, parenthesized union members) into SQLite.
#ifndef VATRIX_HOSTDATA_JET_SQL_H_
#define VATRIX_HOSTDATA_JET_SQL_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

struct TranslatedQuery {
  std::string sql;                  // text for SQLite
  std::vector<std::string> tables;  // host tables the query reads (names in FROM / JOIN position,
                                    // not derived tables, not aliases), as spelled, deduplicated
                                    // ignoring case, in first-seen order
  bool long_date_range = false;     // selects a period of more than two months by date: the
                                    // planner is told the range is wide
};

// Translates one query text of the provider's dialect. String literals and bracketed names are
// never altered; literals compare without regard to case, as the provider compares text.
// Throws HostError kQueryRejected, saying what is wrong and at which character offset (0-based),
// with source "query: " + the text, for a text it cannot tokenize: an unterminated string,
// bracket or date, an impossible date, unbalanced parentheses, a character outside the dialect,
// or text after a closing ';'.
TranslatedQuery TranslateJetSql(std::string_view jet_sql);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_JET_SQL_H_
