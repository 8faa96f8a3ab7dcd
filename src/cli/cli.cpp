#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "base/output_text.h"
#include "calendar/birth_pillars.h"
#include "cli/cli_text.h"
#include "share/vote_book.h"

namespace tavrin::cli {

namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintHelp(std::ostream& out) {
  // Composed of GBK literals and the commands' summaries, written out as UTF-8.
  std::string help =
      "用法: tavrin-cli 命令 [参数]\n"
      "输入输出的文字都是 UTF-8;每个结果单占一行。\n\n"
      "命令:\n";
  std::vector<Command> sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::string_view(a.name) < b.name; });
  for (const Command& command : sorted) {
    std::string head = std::string(command.name) + " " + command.usage;
    if (head.size() < 34) head.resize(34, ' ');
    help += "  " + head + "  " + command.summary + '\n';
  }
  help += "\n退出码: 0 成功;2 输入有误或缺少数据文件;70 程序内部出错;74 输出写不出去。\n";
  WriteText(out, help);
}

}  // namespace

Registrar::Registrar(const Command& command) { Registry().push_back(command); }

const std::vector<Command>& Commands() { return Registry(); }

CliContext::CliContext(std::ostream& out_, std::ostream& err_, std::string dataDir)
    : out(out_), err(err_), dataDir_(std::move(dataDir)) {}

CliContext::~CliContext() = default;

const SharedStores& CliContext::SharedData() {
  if (!stores_) {
    stores_ = StartUp(dataDir_);
    // A file that is there but was refused is named with the reason, as the
    // window names it at start-up; the command goes on without it.
    for (const LoadFailure& failure : stores_->failures) {
      if (failure.refused) err << "tavrin-cli: " << EscapeForTerminal(Say(failure.Message().View())) << '\n';
    }
  }
  return stores_;
}

const DataStores& CliContext::Stores() { return *SharedData(); }

const DataStores& CliContext::RequireData(std::initializer_list<const char*> fileNames) {
  const DataStores& stores = Stores();
  std::string message;
  for (const char* name : fileNames) {
    for (const LoadFailure& failure : stores.failures) {
      // A refused file was named when the stores were loaded.
      if (failure.fileName != name || failure.optional || failure.refused) continue;
      if (!message.empty()) message += '\n';
      message += Say(failure.Message().View());
    }
  }
  if (!message.empty()) throw CliError(message);
  if (auto missing = stores.MissingDataMessage(fileNames, "无法继续")) throw GbkError(*missing);
  return stores;
}

Sex CliContext::SexArgument(std::string_view utf8Argument) {
  const std::optional<Sex> sex = SexFromKey(utf8Argument);
  if (!sex) throw CliError(Say("--sex 只能是 male 或 female,不能是“%1”", {QuoteArgument(utf8Argument)}));
  return *sex;
}

void ReadArguments(const std::vector<std::string>& args, std::string_view synopsis,
                   std::initializer_list<Option> options, const Positionals& positionals, std::size_t first) {
  if (!ReadOptions(args, options, positionals, first)) throw CliError(UsageMessage(synopsis));
}

std::function<void(const std::string&)> SetTrue(bool& flag) {
  return [&flag](const std::string&) { flag = true; };
}

std::function<void(const std::string&)> Keep(std::optional<std::string>& value) {
  return [&value](const std::string& given) { value = given; };
}

Positionals EveryArgument(std::vector<std::string>& into, bool dashedToo) {
  return {[&into](const std::string& argument) {
            into.push_back(argument);
            return true;
          },
          dashedToo};
}

std::uint64_t ParseSeedOption(const std::string& text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw CliError(Say("--seed “%1”不是 64 位无符号整数", {QuoteArgument(text)}));
  }
  return seed;
}

// The synopsis is a literal of the front end (GBK, like the words before it;
// strokes' holds 或), so the whole line enters the message as one text.
std::string UsageMessage(std::string_view synopsis) { return Say(std::string("用法: tavrin-cli ").append(synopsis)); }

void ExpectArgs(const std::vector<std::string>& args, std::size_t count, const char* usage) {
  if (args.size() != count) throw CliError(UsageMessage(usage));
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const std::string& dataDir) {
  if (args.empty()) {
    PrintHelp(err);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(out);
    return 0;
  }
  const auto& commands = Commands();
  const auto found =
      std::find_if(commands.begin(), commands.end(), [&](const Command& command) { return args[0] == command.name; });
  if (found == commands.end()) {
    err << "tavrin-cli: " << Say("没有命令“%1”,命令见 tavrin-cli --help", {QuoteArgument(args[0])}) << '\n';
    return OutputFailed(err) ? kOutputErrorStatus : 2;
  }
  // Every store a command opens is laid out with the family's vote tables,
  // shared or not.
  share::AddVoteTables();
  CliContext context(out, err, dataDir);
  // A message never hands the terminal a control character or a byte that is no UTF-8.
  const auto report = [&](std::string_view message, int status) {
    err << "tavrin-cli " << found->name << ": " << EscapeForTerminal(message, true) << '\n';
    return OutputFailed(err) ? kOutputErrorStatus : status;
  };
  try {
    const int status = found->run(context, std::vector<std::string>(args.begin() + 1, args.end()));
    if (OutputFailed(out)) throw OutputError();
    return OutputFailed(err) ? kOutputErrorStatus : status;
  } catch (const OutputError&) {
    return report(Say("无法写入标准输出"), kOutputErrorStatus);
  } catch (const CliError& error) {
    if (OutputFailed(out)) return report(Say("无法写入标准输出"), kOutputErrorStatus);
    return report(error.what(), 2);
  } catch (const std::exception& error) {
    // Anything else is a fault of the program, not of the input. Exception
    // texts of the core are GBK like its other texts.
    out.flush();
    return report(Say("内部错误: ") + Say(error.what()), kInternalErrorStatus);
  } catch (...) {
    out.flush();
    return report(Say("内部错误"), kInternalErrorStatus);
  }
}

}  // namespace tavrin::cli
