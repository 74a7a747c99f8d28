#include "hostdata/jet_sql.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "hostdata/host_error.h"
#include "hostdata/text.h"
#include "hostdata/value.h"

namespace vatrix {
namespace {

enum class Kind { kWord, kName, kString, kNumber, kDate, kSymbol };

struct Token {
  Kind kind = Kind::kSymbol;
  std::string text;   // word, number or symbol as written; contents of a name or string;
                      // the 'yyyy-mm-dd' form of a date
  std::string upper;  // words only: the word in upper case
  size_t begin = 0;   // byte offsets into the query text
  size_t end = 0;
};

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsWordStart(char c) {
  return IsAsciiLetter(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsWordChar(char c) { return IsWordStart(c) || IsDigit(c); }
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool IsOperatorChar(char c) { return std::string_view("+-*/<>=|&").find(c) != kNone; }

bool IsWord(const Token& token, std::string_view upper) {
  return token.kind == Kind::kWord && token.upper == upper;
}
bool IsSymbol(const Token& token, std::string_view symbol) {
  return token.kind == Kind::kSymbol && token.text == symbol;
}

Token MakeToken(Kind kind, std::string text) {
  Token token;
  token.kind = kind;
  token.upper = kind == Kind::kWord ? ToUpperAscii(text) : std::string();
  token.text = std::move(text);
  return token;
}

// Throws the rejection of `sql`, naming the 0-based character (not byte) offset.
[[noreturn]] void Reject(std::string_view sql, size_t offset, const std::string& what) {
  size_t characters = 0;
  for (size_t i = 0; i < offset && i < sql.size(); ++i) {
    characters += (static_cast<unsigned char>(sql[i]) & 0xC0) != 0x80;
  }
  throw HostError(kQueryRejected, what + " at offset " + std::to_string(characters),
                  "query: " + std::string(sql));
}

// Reads "m/d/yyyy" (month and day of one or two digits) or "yyyy-mm-dd".
std::optional<Date> ParseDateLiteral(std::string_view text) {
  if (auto iso = ParseIsoDate(text)) return iso;
  int parts[3] = {0, 0, 0};
  size_t digits[3] = {0, 0, 0};
  int part = 0;
  for (char c : text) {
    if (c == '/' && part < 2) {
      ++part;
    } else if (IsDigit(c) && digits[part] < 4) {
      parts[part] = parts[part] * 10 + (c - '0');
      ++digits[part];
    } else {
      return std::nullopt;
    }
  }
  if (part != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 ||
      digits[2] != 4 || !IsValidDate(parts[2], parts[0], parts[1])) {
    return std::nullopt;
  }
  return Date{parts[2], parts[0], parts[1]};
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view sql) : sql_(sql) {}

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    while (true) {
      while (pos_ < sql_.size() && IsBlank(sql_[pos_])) ++pos_;
      if (pos_ == sql_.size()) return tokens;
      const size_t begin = pos_;
      Token token = Next(tokens.empty() ? nullptr : &tokens.back());
      token.begin = begin;
      token.end = pos_;
      tokens.push_back(std::move(token));
    }
  }

 private:
  Token Next(const Token* previous) {
    const char c = sql_[pos_];
    if (c == '\'' || c == '"') return String(c);
    if (c == '[') return Name();
    if (c == '#') return DateLiteral();
    const bool after_name =
        previous && (previous->kind == Kind::kWord || previous->kind == Kind::kName);
    if (IsDigit(c) || (c == '.' && !after_name && IsDigitAt(pos_ + 1))) return Number();
    if (IsWordStart(c)) return Word();
    return Symbol();
  }

  bool IsDigitAt(size_t at) const { return at < sql_.size() && IsDigit(sql_[at]); }

  // 'text' or "text"; a doubled quote inside stands for one.
  Token String(char quote) {
    const size_t begin = pos_++;
    std::string value;
    while (true) {
      const size_t close = sql_.find(quote, pos_);
      if (close == kNone) Reject(sql_, begin, "Unterminated string literal");
      value.append(sql_.substr(pos_, close - pos_));
      pos_ = close + 1;
      if (pos_ == sql_.size() || sql_[pos_] != quote) break;
      value += quote;
      ++pos_;
    }
    return MakeToken(Kind::kString, value);
  }

  Token Name() {
    const size_t begin = pos_;
    const size_t close = sql_.find(']', pos_ + 1);
    if (close == kNone) Reject(sql_, begin, "Unterminated bracketed name");
    if (close == begin + 1) Reject(sql_, begin, "Empty bracketed name");
    pos_ = close + 1;
    return MakeToken(Kind::kName, std::string(sql_.substr(begin + 1, close - begin - 1)));
  }

  Token DateLiteral() {
    const size_t begin = pos_;
    const size_t close = sql_.find('#', pos_ + 1);
    if (close == kNone) Reject(sql_, begin, "Unterminated date literal");
    std::string_view inside = sql_.substr(begin + 1, close - begin - 1);
    while (!inside.empty() && IsBlank(inside.front())) inside.remove_prefix(1);
    while (!inside.empty() && IsBlank(inside.back())) inside.remove_suffix(1);
    const auto date = ParseDateLiteral(inside);
    if (!date) {
      Reject(
          sql_, begin,
          "Invalid date literal #" + std::string(inside) + "# (expected a real day as #m/d/yyyy#)");
    }
    pos_ = close + 1;
    return MakeToken(Kind::kDate, FormatIsoDate(*date));
  }

  Token Number() {
    const size_t begin = pos_;
    while (IsDigitAt(pos_)) ++pos_;
    if (pos_ < sql_.size() && sql_[pos_] == '.') {
      ++pos_;
      while (IsDigitAt(pos_)) ++pos_;
    }
    if (pos_ < sql_.size() && (sql_[pos_] == 'e' || sql_[pos_] == 'E')) {
      size_t digits = pos_ + 1;
      if (digits < sql_.size() && (sql_[digits] == '+' || sql_[digits] == '-')) ++digits;
      if (IsDigitAt(digits)) {
        pos_ = digits;
        while (IsDigitAt(pos_)) ++pos_;
      }
    }
    return MakeToken(Kind::kNumber, std::string(sql_.substr(begin, pos_ - begin)));
  }

  Token Word() {
    const size_t begin = pos_;
    while (pos_ < sql_.size() && IsWordChar(sql_[pos_])) ++pos_;
    return MakeToken(Kind::kWord, std::string(sql_.substr(begin, pos_ - begin)));
  }

  Token Symbol() {
    const std::string_view rest = sql_.substr(pos_);
    for (std::string_view pair : {"<>", "<=", ">="}) {
      if (rest.starts_with(pair)) {
        pos_ += 2;
        return MakeToken(Kind::kSymbol, std::string(pair));
      }
    }
    const char c = sql_[pos_];
    if (std::string_view("+-*/=<>,.()&;").find(c) == kNone) {
      char shown[32];
      if (c > ' ' && c < 0x7F) {
        std::snprintf(shown, sizeof shown, "character '%c'", c);
      } else {
        std::snprintf(shown, sizeof shown, "byte 0x%02X", static_cast<unsigned char>(c));
      }
      Reject(sql_, pos_, std::string("Unexpected ") + shown);
    }
    ++pos_;
    return MakeToken(Kind::kSymbol, std::string(1, c));
  }

  std::string_view sql_;
  size_t pos_ = 0;
};

// Drops one closing ';'; rejects anything after it.
void DropFinalSemicolon(std::string_view sql, std::vector<Token>* tokens) {
  for (size_t i = 0; i < tokens->size(); ++i) {
    if (!IsSymbol((*tokens)[i], ";")) continue;
    if (i + 1 < tokens->size()) {
      Reject(sql, (*tokens)[i + 1].begin, "Text after the end of the statement");
    }
    tokens->pop_back();
    return;
  }
}

// For each parenthesis, the index of its partner; rejects an unbalanced text.
std::vector<size_t> MatchParentheses(std::string_view sql, const std::vector<Token>& tokens) {
  std::vector<size_t> match(tokens.size(), kNone);
  std::vector<size_t> open;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (IsSymbol(tokens[i], "(")) {
      open.push_back(i);
    } else if (IsSymbol(tokens[i], ")")) {
      if (open.empty()) Reject(sql, tokens[i].begin, "Unbalanced ')'");
      match[i] = open.back();
      match[open.back()] = i;
      open.pop_back();
    }
  }
  if (!open.empty()) Reject(sql, tokens[open.back()].begin, "Unclosed '('");
  return match;
}

// Marks the parentheses around whole members of a UNION, which SQLite does not accept:
// "(SELECT ...) UNION [ALL] (SELECT ...)", at any depth.
std::vector<bool> UnionMemberParentheses(const std::vector<Token>& tokens,
                                         const std::vector<size_t>& match) {
  std::vector<bool> drop(tokens.size(), false);
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (!IsSymbol(tokens[i], "(") || !IsWord(tokens[i + 1], "SELECT")) continue;
    const size_t close = match[i];
    const bool starts_group = i == 0 || IsSymbol(tokens[i - 1], "(");
    const bool first_member =
        starts_group && close + 1 < tokens.size() && IsWord(tokens[close + 1], "UNION");
    const bool later_member =
        i > 0 && (IsWord(tokens[i - 1], "UNION") ||
                  (i > 1 && IsWord(tokens[i - 1], "ALL") && IsWord(tokens[i - 2], "UNION")));
    if (first_member || later_member) drop[i] = drop[close] = true;
  }
  return drop;
}

// The names in table position: after FROM, JOIN or a comma of a FROM list, skipping opening
// parentheses; a SELECT there starts a derived table instead.
std::vector<std::string> HostTables(const std::vector<Token>& tokens) {
  struct Scope {
    bool in_from = false;       // inside the FROM list of this level
    bool expect_table = false;  // the next name is a table
  };
  std::vector<Scope> scopes(1);
  std::vector<std::string> tables;
  for (const Token& token : tokens) {
    Scope& scope = scopes.back();
    if (IsSymbol(token, "(")) {
      Scope inner;
      inner.in_from = inner.expect_table = scope.expect_table;
      scope.expect_table = false;
      scopes.push_back(inner);
    } else if (IsSymbol(token, ")")) {
      if (scopes.size() > 1) scopes.pop_back();
    } else if (IsWord(token, "SELECT")) {
      scope = Scope();
    } else if (IsWord(token, "FROM")) {
      scope.in_from = scope.expect_table = true;
    } else if (IsWord(token, "JOIN")) {
      scope.expect_table = true;
    } else if (IsWord(token, "WHERE") || IsWord(token, "GROUP") || IsWord(token, "HAVING") ||
               IsWord(token, "ORDER") || IsWord(token, "UNION")) {
      scope = Scope();
    } else if (IsSymbol(token, ",")) {
      scope.expect_table = scope.in_from;
    } else if (scope.expect_table) {
      scope.expect_table = false;
      if (token.kind != Kind::kWord && token.kind != Kind::kName) continue;
      bool seen = false;
      for (const auto& table : tables) seen = seen || EqualsIgnoreCase(table, token.text);
      if (!seen) tables.push_back(token.text);
    }
  }
  return tables;
}

bool IsSqliteKeyword(const std::string& word) {
  return sqlite3_keyword_check(word.data(), static_cast<int>(word.size())) != 0;
}

// Words of the dialect's own syntax that SQLite reads the same way. Any other SQLite keyword in
// a query text is a column or table name and gets quoted.
bool IsDialectKeyword(const std::string& upper) {
  static const char* const kWords[] = {
      "SELECT", "DISTINCT", "FROM", "WHERE", "GROUP",   "BY",    "HAVING", "ORDER", "ASC", "DESC",
      "UNION",  "ALL",      "AS",   "INNER", "LEFT",    "RIGHT", "OUTER",  "JOIN",  "ON",  "AND",
      "OR",     "NOT",      "IS",   "NULL",  "BETWEEN", "IN",    "LIKE",   "EXISTS"};
  for (const char* word : kWords) {
    if (upper == word) return true;
  }
  return false;
}

// The provider's functions that SQLite lacks or means differently, and the names under which
// RegisterJetFunctions provides them.
const char* FunctionName(const std::string& upper) {
  static const struct {
    const char* dialect;
    const char* sqlite;
  } kFunctions[] = {{"ISNULL", "jet_isnull"}, {"ISDATE", "jet_isdate"}, {"VAL", "jet_val"},
                    {"FORMAT", "jet_format"}, {"MONTH", "jet_month"},   {"UCASE", "jet_ucase"},
                    {"MID", "jet_mid"}};
  for (const auto& function : kFunctions) {
    if (upper == function.dialect) return function.sqlite;
  }
  return nullptr;
}

std::string QuotedIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// A bracketed name goes out bare when SQLite reads it bare as the same name.
std::string RenderName(const std::string& name) {
  bool plain = !IsDigit(name[0]);
  for (char c : name) plain = plain && (IsAsciiLetter(c) || IsDigit(c) || c == '_');
  const std::string upper = ToUpperAscii(name);
  if (!plain || upper == "TRUE" || upper == "FALSE" || IsSqliteKeyword(name)) {
    return QuotedIdentifier(name);
  }
  return name;
}

std::string RenderWord(const std::vector<Token>& tokens, size_t i) {
  const Token& token = tokens[i];
  if (i > 0 && IsSymbol(tokens[i - 1], ".")) {  // a column of a table, e.g. ACT.Group
    return IsSqliteKeyword(token.text) ? QuotedIdentifier(token.text) : token.text;
  }
  if (i + 1 < tokens.size() && IsSymbol(tokens[i + 1], "(")) {
    const char* function = FunctionName(token.upper);
    return function ? function : token.text;
  }
  if (token.upper == "TRUE") return "1";  // logicals are stored as 1 / 0
  if (token.upper == "FALSE") return "0";
  if (IsSqliteKeyword(token.text) && !IsDialectKeyword(token.upper)) {
    return QuotedIdentifier(token.text);
  }
  return token.text;
}

std::string RenderString(const std::string& value) {
  std::string out = "'";
  for (char c : value) out += c == '\'' ? std::string("''") : std::string(1, c);
  // The provider compares text without regard to case, also text that no column carries.
  return out + "' COLLATE NOCASE";
}

std::string RenderNumber(const std::string& number) {
  for (char c : number) {
    if (!IsDigit(c)) return number;
  }
  return number + ".0";  // '/' divides as reals do, whatever the operands
}

std::string Render(const std::vector<Token>& tokens, size_t i) {
  const Token& token = tokens[i];
  switch (token.kind) {
    case Kind::kWord:
      return RenderWord(tokens, i);
    case Kind::kName:
      return RenderName(token.text);
    case Kind::kString:
      return RenderString(token.text);
    case Kind::kNumber:
      return RenderNumber(token.text);
    case Kind::kDate:
      return "'" + token.text + "'";
    case Kind::kSymbol:
      return token.text == "&" ? "||" : token.text;
  }
  return token.text;
}

// Two pieces that would run together into another token ("- -" into a comment, a word into
// "COLLATE NOCASE") keep a blank between them.
bool NeedsBlank(const std::string& out, const std::string& next) {
  if (out.empty() || next.empty()) return false;
  const char a = out.back();
  const char b = next.front();
  return (IsWordChar(a) && IsWordChar(b)) || (IsOperatorChar(a) && IsOperatorChar(b));
}

// Output order of the tokens: token indices, and the markers below for text the translation
// adds (parentheses, "jet_div(" and its comma, the planner's hint around a long date range).
constexpr size_t kOpen = kNone - 1;
constexpr size_t kClose = kNone - 2;
constexpr size_t kDivide = kNone - 3;  // "jet_div(": opens like '('
constexpr size_t kComma = kNone - 4;
constexpr size_t kLikely = kNone - 5;     // "likelihood(": opens like '('
constexpr size_t kLikelyEnd = kNone - 6;  // ", 0.9)": closes like ')'
using Order = std::vector<size_t>;

bool IsToken(size_t entry) { return entry < kLikelyEnd; }

bool EntryIs(const std::vector<Token>& tokens, size_t entry, std::string_view symbol) {
  if (entry == kOpen || entry == kDivide || entry == kLikely) return symbol == "(";
  if (entry == kClose || entry == kLikelyEnd) return symbol == ")";
  if (entry == kComma) return symbol == ",";
  return IsSymbol(tokens[entry], symbol);
}

bool EntryIsWord(const std::vector<Token>& tokens, size_t entry, std::string_view upper) {
  return IsToken(entry) && IsWord(tokens[entry], upper);
}

bool EndsJoinCondition(const std::vector<Token>& tokens, size_t entry) {
  static const char* const kWords[] = {"WHERE", "GROUP", "HAVING", "ORDER", "UNION", "INNER",
                                       "LEFT",  "RIGHT", "FULL",   "CROSS", "JOIN"};
  if (EntryIs(tokens, entry, ",")) return true;
  for (const char* word : kWords) {
    if (EntryIsWord(tokens, entry, word)) return true;
  }
  return false;
}

// Position of the parenthesis matching the one at `pos`, searching in direction `step`.
size_t Partner(const std::vector<Token>& tokens, const Order& order, size_t pos, int step) {
  int depth = 0;
  for (size_t i = pos; i < order.size(); i += step) {
    if (EntryIs(tokens, order[i], step > 0 ? "(" : ")")) ++depth;
    if (EntryIs(tokens, order[i], step > 0 ? ")" : "(") && --depth == 0) return i;
  }
  return kNone;
}

// First position of the left operand of the join word at `pos`: just after the FROM, '(' or
// ',' that starts its group.
size_t LeftOperandStart(const std::vector<Token>& tokens, const Order& order, size_t pos) {
  size_t i = pos;
  while (i > 0) {
    const size_t entry = order[i - 1];
    if (EntryIs(tokens, entry, ")")) {
      i = Partner(tokens, order, i - 1, -1);
      if (i == kNone) return kNone;
      continue;
    }
    if (EntryIs(tokens, entry, "(") || EntryIs(tokens, entry, ",") ||
        EntryIsWord(tokens, entry, "FROM")) {
      return i;
    }
    --i;
  }
  return kNone;
}

// True when the SELECT owning the FROM list around `pos` lists "*" or "table.*": there the
// order of the joined tables decides the order of the columns.
bool OwnerSelectsStar(const std::vector<Token>& tokens, const Order& order, size_t pos) {
  int depth = 0;
  bool from_seen = false;
  for (size_t i = pos; i-- > 0;) {
    const size_t entry = order[i];
    if (EntryIs(tokens, entry, ")")) ++depth;
    if (EntryIs(tokens, entry, "(")) depth = std::max(0, depth - 1);
    if (depth > 0 || !IsToken(entry)) continue;
    if (IsWord(tokens[entry], "FROM")) from_seen = true;
    if (IsWord(tokens[entry], "SELECT") && from_seen) return false;
    if (from_seen && IsSymbol(tokens[entry], "*") && i > 0 && IsToken(order[i - 1])) {
      const Token& before = tokens[order[i - 1]];
      if (IsWord(before, "SELECT") || IsWord(before, "DISTINCT") || IsSymbol(before, ",") ||
          IsSymbol(before, ".")) {
        return true;
      }
    }
  }
  return false;
}

// Last position of the table operand starting at `pos` (a name or a parenthesized group, with
// an optional alias), or kNone.
size_t RightOperandEnd(const std::vector<Token>& tokens, const Order& order, size_t pos) {
  if (pos >= order.size() || !IsToken(order[pos])) return kNone;
  size_t end = pos;
  if (IsSymbol(tokens[order[pos]], "(")) {
    end = Partner(tokens, order, pos, 1);
  } else if (tokens[order[pos]].kind != Kind::kWord && tokens[order[pos]].kind != Kind::kName) {
    return kNone;
  }
  if (end == kNone || end + 1 >= order.size()) return kNone;
  if (EntryIsWord(tokens, order[end + 1], "AS")) return end + 2 < order.size() ? end + 2 : kNone;
  const size_t next = order[end + 1];
  const bool alias =
      IsToken(next) && (tokens[next].kind == Kind::kName ||
                        (tokens[next].kind == Kind::kWord && !IsWord(tokens[next], "ON")));
  return alias ? end + 1 : end;
}

// Rewrites "A RIGHT JOIN B ON c" as "B LEFT JOIN A ON c": the same rows, and SQLite plans a
// left join far better (it can search B by A's key instead of scanning it for every A row).
// Left alone where the owning SELECT lists "*", whose column order would change.
Order RightJoinsAsLeftJoins(const std::vector<Token>& tokens, std::vector<bool>* as_left) {
  Order order;
  for (size_t i = 0; i < tokens.size(); ++i) order.push_back(i);
  for (size_t right = 0; right < tokens.size(); ++right) {
    if (!IsWord(tokens[right], "RIGHT")) continue;
    const size_t pos = std::find(order.begin(), order.end(), right) - order.begin();
    size_t join = pos + 1;
    if (join < order.size() && EntryIsWord(tokens, order[join], "OUTER")) ++join;
    if (join >= order.size() || !EntryIsWord(tokens, order[join], "JOIN")) continue;
    const size_t left_start = LeftOperandStart(tokens, order, pos);
    const size_t right_end = RightOperandEnd(tokens, order, join + 1);
    if (left_start == kNone || left_start == pos || right_end == kNone ||
        right_end + 1 >= order.size() || !EntryIsWord(tokens, order[right_end + 1], "ON") ||
        OwnerSelectsStar(tokens, order, left_start)) {
      continue;
    }
    size_t condition_end = right_end + 2;
    for (int depth = 0; condition_end < order.size(); ++condition_end) {
      const size_t entry = order[condition_end];
      if (EntryIs(tokens, entry, "(")) ++depth;
      if (EntryIs(tokens, entry, ")") && --depth < 0) break;
      if (depth == 0 && EndsJoinCondition(tokens, entry)) break;
    }
    bool chain = false;  // a left operand with joins of its own is kept together in parentheses
    for (size_t i = left_start; i < pos; ++i)
      chain = chain || EntryIsWord(tokens, order[i], "JOIN");
    Order rewritten(order.begin(), order.begin() + left_start);
    rewritten.insert(rewritten.end(), order.begin() + join + 1, order.begin() + right_end + 1);
    rewritten.insert(rewritten.end(), order.begin() + pos, order.begin() + join + 1);
    if (chain) rewritten.push_back(kOpen);
    rewritten.insert(rewritten.end(), order.begin() + left_start, order.begin() + pos);
    if (chain) rewritten.push_back(kClose);
    rewritten.insert(rewritten.end(), order.begin() + right_end + 1, order.end());
    order = std::move(rewritten);
    (*as_left)[right] = true;
  }
  return order;
}

bool IsValueToken(const std::vector<Token>& tokens, size_t entry) {
  if (!IsToken(entry)) return false;
  const Kind kind = tokens[entry].kind;
  return kind == Kind::kName || kind == Kind::kNumber || kind == Kind::kString ||
         kind == Kind::kDate || (kind == Kind::kWord && !IsDialectKeyword(tokens[entry].upper));
}

// True when the entry can end an operand: a value, a name or a closing parenthesis.
bool EndsOperand(const std::vector<Token>& tokens, size_t entry) {
  return IsValueToken(tokens, entry) || EntryIs(tokens, entry, ")");
}

// First position of the primary (value, qualified name, function call or parenthesized group)
// that ends at `last`, or kNone.
size_t PrimaryStart(const std::vector<Token>& tokens, const Order& order, size_t last) {
  size_t start = last;
  if (EntryIs(tokens, order[last], ")")) {
    start = Partner(tokens, order, last, -1);
    if (start == kNone) return kNone;
    const bool call = start > 0 && IsToken(order[start]) &&
                      IsValueToken(tokens, order[start - 1]) &&
                      tokens[order[start - 1]].kind == Kind::kWord;
    return call ? start - 1 : start;
  }
  if (!IsValueToken(tokens, order[last])) return kNone;
  while (start >= 2 && EntryIs(tokens, order[start - 1], ".") &&
         IsValueToken(tokens, order[start - 2])) {
    start -= 2;
  }
  return start;
}

// Last position of the primary that starts at `first`, or kNone.
size_t PrimaryEnd(const std::vector<Token>& tokens, const Order& order, size_t first) {
  if (first >= order.size()) return kNone;
  if (EntryIs(tokens, order[first], "(")) return Partner(tokens, order, first, 1);
  if (!IsValueToken(tokens, order[first])) return kNone;
  size_t end = first;
  if (end + 1 < order.size() && EntryIs(tokens, order[end + 1], "(")) {
    return Partner(tokens, order, end + 1, 1);  // a function call
  }
  while (end + 2 < order.size() && EntryIs(tokens, order[end + 1], ".") &&
         IsValueToken(tokens, order[end + 2])) {
    end += 2;
  }
  return end;
}

bool IsSign(const std::vector<Token>& tokens, const Order& order, size_t pos) {
  return (EntryIs(tokens, order[pos], "-") || EntryIs(tokens, order[pos], "+")) &&
         (pos == 0 || !EndsOperand(tokens, order[pos - 1]));
}

// The operands of the division at `slash`: [left, slash) and (slash, right].
bool DivisionOperands(const std::vector<Token>& tokens, const Order& order, size_t slash,
                      size_t* left, size_t* right) {
  if (slash == 0) return false;
  size_t last = slash - 1;
  while (true) {  // a*b/c divides the product: take in the factors before
    size_t start = PrimaryStart(tokens, order, last);
    if (start == kNone) return false;
    if (start > 0 && IsSign(tokens, order, start - 1)) --start;
    *left = start;
    if (start < 2 || !EntryIs(tokens, order[start - 1], "*")) break;
    last = start - 2;
  }
  size_t first = slash + 1;
  if (first < order.size() && IsSign(tokens, order, first)) ++first;
  *right = PrimaryEnd(tokens, order, first);
  return *right != kNone;
}

// Rewrites "a / b" as "jet_div(a, b)", which fails on a zero divisor as the provider does,
// where SQLite would give null and a figure would silently lose the row.
Order DivisionsAsCalls(const std::vector<Token>& tokens, Order order) {
  for (size_t slash = 0; slash < order.size(); ++slash) {
    size_t left = 0, right = 0;
    if (!EntryIs(tokens, order[slash], "/") ||
        !DivisionOperands(tokens, order, slash, &left, &right)) {
      continue;
    }
    Order rewritten(order.begin(), order.begin() + left);
    rewritten.push_back(kDivide);
    rewritten.insert(rewritten.end(), order.begin() + left, order.begin() + slash);
    rewritten.push_back(kComma);
    rewritten.insert(rewritten.end(), order.begin() + slash + 1, order.begin() + right + 1);
    rewritten.push_back(kClose);
    rewritten.insert(rewritten.end(), order.begin() + right + 1, order.end());
    order = std::move(rewritten);
  }
  return order;
}

// Days from 0000-03-01 to the 'yyyy-mm-dd' day `iso` (a date token's text).
long DayNumber(const std::string& iso) {
  const std::optional<Date> date = ParseIsoDate(iso);
  if (!date) return 0;
  const long year = date->year - (date->month <= 2 ? 1 : 0);
  const long month = date->month <= 2 ? date->month + 9 : date->month - 3;
  return 365 * year + year / 4 - year / 100 + year / 400 + (153 * month + 2) / 5 + date->day - 1;
}

// A date range longer than this covers so much of a company's year (its data folder) that
// reading the whole table beats searching the date index, which costs several times as much
// per row it finds.
constexpr long kLongRangeDays = 62;

// True when the condition from `first` to `last` holds for every row its clause keeps: no OR
// stands beside it, nor beside any parenthesized group around it, up to the clause's start and
// end.
bool AndedWithItsClause(const std::vector<Token>& tokens, const Order& order, size_t first,
                        size_t last) {
  static const char* const kClauseStarts[] = {"WHERE", "ON", "HAVING", "SELECT", "FROM"};
  static const char* const kClauseEnds[] = {"GROUP", "ORDER", "HAVING", "UNION", "WHERE",
                                            "INNER", "LEFT",  "RIGHT",  "JOIN"};
  const auto is_any = [&tokens](size_t entry, const auto& words) {
    for (const char* word : words) {
      if (EntryIsWord(tokens, entry, word)) return true;
    }
    return false;
  };
  int depth = 0;  // inside a group beside the condition; a group around it leaves depth at 0
  for (size_t i = first; i-- > 0;) {
    if (EntryIs(tokens, order[i], ")")) ++depth;
    if (EntryIs(tokens, order[i], "(") && depth > 0) --depth;
    if (depth == 0 && (EntryIsWord(tokens, order[i], "OR") || EntryIsWord(tokens, order[i], "NOT")))
      return false;
    if (depth == 0 && is_any(order[i], kClauseStarts)) break;
  }
  depth = 0;
  for (size_t i = last + 1; i < order.size(); ++i) {
    if (EntryIs(tokens, order[i], "(")) ++depth;
    if (EntryIs(tokens, order[i], ")") && depth > 0) --depth;
    if (depth == 0 && EntryIsWord(tokens, order[i], "OR")) return false;
    if (depth == 0 && is_any(order[i], kClauseEnds)) break;
  }
  return true;
}

// Wraps "column BETWEEN #d1# AND #d2#" spanning more than two months in likelihood(..., 0.9):
// the same truth value, but the planner, which otherwise takes any range for a narrow one,
// then reads the table instead of the date index (the annual return: several times faster).
// `*long_range` is set when such a range holds for every row of its clause, so that the query
// reads the whole period.
Order LongDateRangesHinted(const std::vector<Token>& tokens, Order order, bool* long_range) {
  for (size_t pos = 1; pos + 3 < order.size(); ++pos) {
    const size_t low = order[pos + 1], high = order[pos + 3];
    if (!EntryIsWord(tokens, order[pos], "BETWEEN") || !IsToken(low) || !IsToken(high) ||
        tokens[low].kind != Kind::kDate || !EntryIsWord(tokens, order[pos + 2], "AND") ||
        tokens[high].kind != Kind::kDate ||
        DayNumber(tokens[high].text) - DayNumber(tokens[low].text) <= kLongRangeDays ||
        EntryIsWord(tokens, order[pos - 1], "NOT")) {
      continue;
    }
    const size_t start = PrimaryStart(tokens, order, pos - 1);
    if (start == kNone || (start > 0 && IsSign(tokens, order, start - 1))) continue;
    Order rewritten(order.begin(), order.begin() + start);
    rewritten.push_back(kLikely);
    rewritten.insert(rewritten.end(), order.begin() + start, order.begin() + pos + 4);
    rewritten.push_back(kLikelyEnd);
    rewritten.insert(rewritten.end(), order.begin() + pos + 4, order.end());
    order = std::move(rewritten);
    *long_range = *long_range || AndedWithItsClause(tokens, order, start, pos + 5);
    pos += 2;
  }
  return order;
}

std::string Emit(std::string_view sql, const std::vector<Token>& tokens, const Order& order,
                 const std::vector<bool>& drop, const std::vector<bool>& as_left) {
  std::string out;
  size_t previous = kNone;  // the token written last; kNone at the start or after an added '('
  for (const size_t entry : order) {
    std::string gap = " ";
    std::string text = entry == kOpen        ? "("
                       : entry == kClose     ? ")"
                       : entry == kComma     ? ","
                       : entry == kLikely    ? "likelihood("
                       : entry == kLikelyEnd ? ", 0.9)"
                                             : "jet_div(";
    if (IsToken(entry)) {
      // The text between two tokens that stay neighbours is kept as written.
      if (out.empty() && entry == 0) {
        gap = std::string(sql.substr(0, tokens[0].begin));
      } else if (previous != kNone && entry == previous + 1) {
        gap = std::string(
            sql.substr(tokens[previous].end, tokens[entry].begin - tokens[previous].end));
      }
      text = drop[entry] ? std::string(" ") : as_left[entry] ? "LEFT" : Render(tokens, entry);
    }
    out += gap;
    if (gap.empty() && NeedsBlank(out, text)) out += ' ';
    out += text;
    previous = IsToken(entry) ? entry : kNone;
  }
  return out;
}

}  // namespace

TranslatedQuery TranslateJetSql(std::string_view jet_sql) {
  const size_t nul = jet_sql.find('\0');
  if (nul != kNone) Reject(jet_sql, nul, "Unexpected byte 0x00");
  std::vector<Token> tokens = Tokenizer(jet_sql).Run();
  DropFinalSemicolon(jet_sql, &tokens);
  if (tokens.empty() || !(IsWord(tokens[0], "SELECT") || IsSymbol(tokens[0], "("))) {
    Reject(jet_sql, tokens.empty() ? 0 : tokens[0].begin, "Only SELECT queries are accepted");
  }
  const std::vector<size_t> match = MatchParentheses(jet_sql, tokens);
  TranslatedQuery result;
  std::vector<bool> as_left(tokens.size(), false);
  const Order order = LongDateRangesHinted(
      tokens, DivisionsAsCalls(tokens, RightJoinsAsLeftJoins(tokens, &as_left)),
      &result.long_date_range);
  result.sql = Emit(jet_sql, tokens, order, UnionMemberParentheses(tokens, match), as_left);
  result.tables = HostTables(tokens);
  return result;
}

}  // namespace vatrix
