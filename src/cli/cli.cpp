#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "calendar/birth_pillars.h"
#include "chars/encoding.h"
#include "chars/gbk.h"
#include "base/output_text.h"

namespace tavrin::cli {

namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintHelp(std::ostream& out) {
  // The texts of this file are GBK literals: written out as UTF-8.
  out << GbkToUtf8(
      "用法: tavrin-cli 命令 [参数]\n"
      "输入输出的文字都是 UTF-8;每个结果单占一行。\n\n"
      "命令:\n");
  std::vector<Command> sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return std::string_view(a.name) < b.name; });
  for (const Command& command : sorted) {
    std::string head = std::string(command.name) + " " + command.usage;
    if (head.size() < 34) head.resize(34, ' ');
    out << "  " << head << "  " << GbkToUtf8(command.summary) << '\n';
  }
  out << GbkToUtf8("\n退出码: 0 成功;2 输入有误或缺少数据文件;70 程序内部出错;74 输出写不出去。\n");
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
      if (failure.refused) err << "tavrin-cli: " << EscapeForTerminal(GbkToUtf8(failure.Message())) << '\n';
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
      message += GbkToUtf8(failure.Message());
    }
  }
  if (!message.empty()) throw CliError(message);
  if (auto missing = stores.MissingDataMessage(fileNames, "无法继续")) throw GbkError(*missing);
  return stores;
}

HourField CliContext::HourArgument(std::string_view utf8Argument) {
  return TypedHourField(ToGbk(utf8Argument), utf8Argument == "unknown");
}

Sex CliContext::SexArgument(std::string_view utf8Argument) {
  const std::optional<Sex> sex = SexFromKey(utf8Argument);
  if (!sex) throw CliError(Say("--sex 只能是 male 或 female,不能是“%1”", {QuoteArgument(utf8Argument)}));
  return *sex;
}

std::string CliContext::ToGbk(std::string_view utf8Argument) {
  auto gbk = Utf8ToGbk(utf8Argument);
  if (!gbk) {
    throw CliError(Say("参数“%1”不是有效的 UTF-8,或含有 GBK 无法表示的字符", {QuoteArgument(utf8Argument)}));
  }
  return *gbk;
}

void CliContext::PrintLine(std::string_view gbkText) {
  // Names, notes and echoed arguments may hold control characters: they are
  // shown as escapes, never obeyed by the terminal; tabs part the columns.
  out << GbkToUtf8(EscapeControlBytes(gbkText, true)) << '\n';
  // Output that cannot be written ends the command rather than going on unseen.
  if (!out) throw OutputError();
}

void SplitDateOption(const std::string& text, std::string& year, std::string& month, std::string& day) {
  const std::size_t first = text.find('-');
  const std::size_t second = first == std::string::npos ? first : text.find('-', first + 1);
  if (second == std::string::npos || first == 0 || second == first + 1 || second + 1 == text.size() ||
      text.find('-', second + 1) != std::string::npos) {
    throw CliError(Say("--date “%1”不是 YYYY-MM-DD 形式的日期", {QuoteArgument(GbkToUtf8(text))}));
  }
  year = text.substr(0, first);
  month = text.substr(first + 1, second - first - 1);
  day = text.substr(second + 1);
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

std::function<void(const std::string&)> KeepGbk(std::string& value) {
  return [&value](const std::string& given) { value = CliContext::ToGbk(given); };
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

std::string Say(std::string_view gbk, std::initializer_list<std::string_view> args) {
  const std::string text = GbkToUtf8(std::string(gbk));
  std::string said;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : args.size();
    if (text[i] == '%' && n < args.size()) {
      said += args.begin()[n];
      ++i;
    } else {
      said += text[i];
    }
  }
  return said;
}

int SurnameOption(const std::string& fullName, const std::string& utf8Surname) {
  const std::string surname = CliContext::ToGbk(utf8Surname);
  const std::size_t chars = SplitChars(surname).size();
  if (chars < 1 || chars > 2 || surname.size() != chars * 2 || fullName.size() <= surname.size() ||
      fullName.compare(0, surname.size(), surname) != 0) {
    throw CliError(Say("--surname “%1”不是“%2”开头的一两个字", {QuoteArgument(utf8Surname), GbkToUtf8(fullName)}));
  }
  return static_cast<int>(chars);
}

CliError GbkError(std::string_view gbkMessage) { return CliError(GbkToUtf8(gbkMessage)); }

std::string UsageMessage(std::string_view synopsis) { return Say("用法: tavrin-cli %1", {synopsis}); }

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
    return report(GbkToUtf8("无法写入标准输出"), kOutputErrorStatus);
  } catch (const CliError& error) {
    if (OutputFailed(out)) return report(GbkToUtf8("无法写入标准输出"), kOutputErrorStatus);
    return report(error.what(), 2);
  } catch (const std::exception& error) {
    // Anything else is a fault of the program, not of the input. Exception
    // texts of the core are GBK like its other texts.
    out.flush();
    return report(Say("内部错误: ") + GbkToUtf8(error.what()), kInternalErrorStatus);
  } catch (...) {
    out.flush();
    return report(Say("内部错误"), kInternalErrorStatus);
  }
}

}  // namespace tavrin::cli
