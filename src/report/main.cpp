// tavrin-report: the analysis of one name as a one-page PDF, without a
// window. `tavrin-cli analyse NAME ... --pdf FILE` runs this program; it
// takes the same arguments.
#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "base/options.h"
#include "base/output_text.h"
#include "chars/encoding.h"
#include "core/naming_model.h"
#include "report/name_report_pdf.h"
#include "report/qt_translations.h"
#include "report/report_text.h"

namespace {

constexpr const char* kUsage =
    "用法: tavrin-report NAME [--date YYYY-MM-DD] [--hour H|unknown] [--birth-elements TEXT] [--conventions] "
    "[--favourable ELEMENTS] --pdf FILE";

struct BadInput {
  std::string message;  // UTF-8
};

std::string Gbk(const std::string& utf8) {
  auto gbk = tavrin::report::ToCore(utf8);
  if (!gbk) throw BadInput{"“" + tavrin::QuoteArgument(utf8) + "”含有 GBK 无法表示的字符"};
  return *gbk;
}

// YYYY-MM-DD into the request; the parts are checked as the page checks its fields.
void TakeDate(const std::string& value, tavrin::AnalysisRequest& request) {
  const std::size_t first = value.find('-');
  const std::size_t second = first == std::string::npos ? first : value.find('-', first + 1);
  if (second == std::string::npos) {
    throw BadInput{"--date 应为 YYYY-MM-DD,不能是“" + tavrin::QuoteArgument(value) + "”"};
  }
  request.year = Gbk(value.substr(0, first));
  request.month = Gbk(value.substr(first + 1, second - first - 1));
  request.day = Gbk(value.substr(second + 1));
}

struct ReportOptions {
  tavrin::AnalysisRequest request;
  std::string birthElements;
  std::string pdf;
  std::optional<std::vector<tavrin::Element>> favourable;
};

ReportOptions ReadReportOptions(const std::vector<std::string>& args) {
  using tavrin::cli::Option;
  ReportOptions options;
  bool haveName = false;
  const bool fit = tavrin::cli::ReadOptions(
      args,
      {{"--conventions", Option::kFlag, [](const std::string&) {}},  // the report always has its 通行算法 page
       {"--pdf", Option::kValue, [&](const std::string& value) { options.pdf = value; }},
       {"--hour", Option::kValue,
        [&](const std::string& value) {
          options.request.hour = tavrin::TypedHourField(Gbk(value), value == "unknown");
        }},
       {"--favourable", Option::kValue,
        [&](const std::string& value) {
          options.favourable = tavrin::ParseElementList(Gbk(value));
          if (!options.favourable) throw BadInput{"--favourable “" + value + "”应由金木水火土中的字组成,如 木火"};
        }},
       {"--birth-elements", Option::kValue, [&](const std::string& value) { options.birthElements = Gbk(value); }},
       {"--date", Option::kValue, [&](const std::string& value) { TakeDate(value, options.request); }}},
      {[&](const std::string& name) {
        if (haveName) return false;
        options.request.name = Gbk(name);
        return haveName = true;
      }});
  if (!fit || !haveName || options.pdf.empty()) throw BadInput{kUsage};
  return options;
}

int Run(const std::vector<std::string>& args) {
  const ReportOptions options = ReadReportOptions(args);
  const tavrin::AnalysisRequest& request = options.request;
  const std::string& pdf = options.pdf;
  const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  for (const tavrin::LoadFailure& failure : stores->failures) {
    if (failure.fileName == tavrin::kNumerologyFile)
      throw BadInput{tavrin::report::FromCore(failure.Message().View()).toStdString()};
  }
  tavrin::SettingsInputs inputs;
  tavrin::NamingEnvironment environment;
  environment.inputs = &inputs;
  tavrin::NamingModel model(stores, 0, environment);
  model.SetBirthElements(options.birthElements);
  tavrin::NameReport report;
  const auto result = tavrin::AnalyseName(model, request, &report);
  if (result.outcome != tavrin::AnalysisOutcome::kCompleted) {
    throw BadInput{result.message ? tavrin::report::FromCore(result.message->text).toStdString() : std::string()};
  }
  report.conventions =
      tavrin::ReadNameConventions(*stores, tavrin::ConventionsRequestFor(report, *stores->advice, options.favourable));
  report.factors = tavrin::ReadScoreFactors(*stores, report);
  QString error;
  // The name goes to the system as the bytes it was given.
  tavrin::sources::NameNotes notes(stores->dataDir, stores->advice);
  const tavrin::report::NameMeaning meaning = tavrin::report::MeaningOf(notes, report.name);
  if (!tavrin::report::WriteNameReportPdf(report, pdf, error, &meaning)) {
    throw BadInput{"无法写入文件 " + pdf + ":" + error.toStdString()};
  }
  std::cout << pdf << '\n';
  return tavrin::OutputFailed(std::cout) ? tavrin::kOutputErrorStatus : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // No window is ever shown: the offscreen platform needs no display.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt's notes on the platform (no runtime directory, say) are no concern of
  // the user's; only its errors are shown.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
  });
  tavrin::UseUtf8CharacterSet();
  QGuiApplication app(argc, argv);
  tavrin::report::LoadQtTranslations(app);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  try {
    return Run(args);
  } catch (const BadInput& bad) {
    std::cerr << "tavrin-report: " << tavrin::EscapeForTerminal(bad.message, true) << '\n';
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "tavrin-report: 内部错误: " << error.what() << '\n';
    return 70;
  }
}
