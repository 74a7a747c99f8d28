// The command line's conventions: options written "--name value" or "--name=value", -h and
// --help, the help text of each command, and the spellings the command line accepts beside
// the program's own.
#ifndef VATRIX_APP_CLI_OPTIONS_H_
#define VATRIX_APP_CLI_OPTIONS_H_

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vatrix {

// The arguments after the command's name.
struct CommandArguments {
  std::map<std::string, std::string> options;  // by name without dashes; a flag has ""
  std::vector<std::string> plain;              // the arguments that are no option
  bool help = false;                           // -h or --help was given
};

// Splits `arguments`: "--name value", "--name=value", the value-less `flags`, -h/--help, and
// after a lone "--" plain arguments only. Throws BadArguments naming the option that lacks
// its value (none follows, or another option does), a flag given a value, or an option given
// twice.
CommandArguments SplitArguments(const std::vector<std::string>& arguments,
                                const std::set<std::string>& flags);

// Throws BadArguments naming the first option of `given` that `command` does not take.
void CheckOptionNames(const std::string& command, const std::map<std::string, std::string>& given,
                      const std::set<std::string>& known);

// The help of `command` ("sql", "figures", "companies", "export", "batch"): usage, what it
// does and each option; "" for another name.
std::string CommandHelp(const std::string& command);

// The short usage lines of `command`, or of every command for "".
std::string CommandUsage(const std::string& command);

// The program's help: the commands, the common options, exit statuses.
std::string ProgramHelp();

// The return type `text` names in the program's own spelling ("Quaterly" for "quarterly",
// "Quarterly" or "QUATERLY"; "HalfYearly" for "half-yearly"; "Annually" for "annual" or
// "yearly"); `text` itself when it names none.
std::string CanonicalReturnType(const std::string& text);

}  // namespace vatrix

#endif  // VATRIX_APP_CLI_OPTIONS_H_
