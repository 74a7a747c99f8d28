#include "workbook/office.h"

#include <signal.h>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "hostdata/host_error.h"
#include "workbook/office_connection.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

namespace css = com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

// soffice.bin ends with this status when it wants to be started again (after setting up a
// fresh profile).
constexpr int kRestartRequested = 81;

// The process's own UNO runtime, set up once from the office's bootstrap files (unorc, which
// takes its type and service lists from fundamentalrc). Kept for the whole process: the
// runtime does not support being torn down and set up again.
Reference<css::uno::XComponentContext> LocalContext(const std::string& program_dir) {
  static const auto* context = [&] {
    rtl::Bootstrap::set("URE_BOOTSTRAP",
                        "vnd.sun.star.pathname:" + Ou(program_dir + "/fundamentalrc"));
    return new Reference<css::uno::XComponentContext>(
        cppu::defaultBootstrap_InitialComponentContext(FileUrlOf(program_dir + "/unorc")));
  }();
  return *context;
}

// The bridge writes to the office's pipe with plain send(): a write after the office has
// ended would raise SIGPIPE, which ends this program, instead of failing the call. So the
// program ignores the signal from the first office start on, unless it handles it itself.
void IgnoreBrokenPipes() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
      signal(SIGPIPE, SIG_IGN);
    }
  });
}

std::string Seconds(std::chrono::milliseconds duration) {
  const double seconds = static_cast<double>(duration.count()) / 1000;
  std::string text = std::to_string(seconds);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text + " s";
}

}  // namespace

void Office::Connection::Fail(const std::string& what, const std::string& source,
                              const std::string& detail) {
  if (watchdog->fired()) {
    throw HostError(kEngineUnavailable,
                    "the spreadsheet engine stopped answering for " + Seconds(watchdog->timeout()) +
                        " and was ended (" + what + ")",
                    source);
  }
  if (process->Ended()) {
    throw HostError(kEngineUnavailable, "the spreadsheet engine ended unexpectedly (" + what + ")",
                    source);
  }
  throw HostError(kSpreadsheetError, what + (detail.empty() ? "" : ": " + detail), source);
}

void Office::Connection::EnsureStarted() {
  if (Live()) return;
  Disconnect();
  IgnoreBrokenPipes();
  process = std::make_unique<OfficeProcess>(options.program_dir);
  ++generation;
  watchdog = std::make_unique<Watchdog>(*process, options.call_timeout);
  try {
    ConnectOrThrow();
  } catch (...) {
    Disconnect();
    throw;
  }
}

void Office::Connection::Disconnect() {
  desktop.clear();
  context.clear();
  watchdog.reset();
  process.reset();
}

void Office::Connection::ConnectOrThrow() {
  const std::string source = options.program_dir + "/soffice.bin";
  Reference<css::bridge::XUnoUrlResolver> resolver;
  try {
    resolver = css::bridge::UnoUrlResolver::create(LocalContext(options.program_dir));
  } catch (const css::uno::Exception& error) {
    throw HostError(kEngineUnavailable,
                    "cannot set up the bridge to the spreadsheet engine: " + Utf8(error.Message),
                    options.program_dir + "/fundamentalrc");
  }
  const rtl::OUString url =
      Ou("uno:pipe,name=" + process->pipe_name() + ";urp;StarOffice.ComponentContext");
  const auto deadline = std::chrono::steady_clock::now() + options.start_timeout;
  while (!context.is()) {
    try {
      Watchdog::Guard guard(*watchdog);
      context.set(resolver->resolve(url), UNO_QUERY_THROW);
    } catch (const css::uno::Exception&) {
      if (const std::optional<int> status = process->Ended()) {
        if (*status != kRestartRequested) {
          throw HostError(kEngineUnavailable,
                          "the spreadsheet engine ended while starting (exit status " +
                              std::to_string(*status) + ")",
                          source);
        }
        process->Restart();
      }
      if (std::chrono::steady_clock::now() > deadline) {
        throw HostError(
            kEngineUnavailable,
            "the spreadsheet engine did not start within " + Seconds(options.start_timeout),
            source);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  process->NoteSockets();
  desktop = Guarded("cannot reach the spreadsheet engine's desktop", source,
                    [&] { return css::frame::Desktop::create(context); });
}

Office::Office(OfficeOptions options) : connection_(std::make_unique<Connection>(options)) {}

Office::~Office() { connection_->Disconnect(); }

void Office::Start() {
  const int started = connection_->generation;
  connection_->EnsureStarted();
  if (connection_->generation == started) return;
  // A new office loads its spreadsheet part with its first workbook: it does so now, ahead of
  // the run (should this fail, the run's first workbook fails with its own message).
  try {
    connection_->Guarded(
        "the spreadsheet engine cannot make a workbook", "private:factory/scalc", [&] {
          css::beans::PropertyValue hidden;
          hidden.Name = "Hidden";
          hidden.Value <<= true;
          Reference<css::frame::XComponentLoader> loader(connection_->desktop, UNO_QUERY_THROW);
          Reference<css::util::XCloseable> workbook(
              loader->loadComponentFromURL(
                  "private:factory/scalc", "_blank", 0,
                  css::uno::Sequence<css::beans::PropertyValue>(&hidden, 1)),
              UNO_QUERY_THROW);
          workbook->close(true);
        });
  } catch (const HostError&) {
  }
}

pid_t Office::pid() const {
  return connection_->process && !connection_->process->Ended() ? connection_->process->pid() : -1;
}

}  // namespace vatrix
