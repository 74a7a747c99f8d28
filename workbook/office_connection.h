// The inside of an Office, for the engine's own sources (it needs the office API headers):
// the office process, the watchdog over calls into it, and the bridge to it.
#ifndef VATRIX_WORKBOOK_OFFICE_CONNECTION_H_
#define VATRIX_WORKBOOK_OFFICE_CONNECTION_H_

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>
#include <string>
#include <utility>

#include "workbook/office.h"
#include "workbook/office_process.h"
#include "workbook/uno_text.h"

namespace vatrix {

struct Office::Connection {
  explicit Connection(OfficeOptions options) : options(std::move(options)) {}

  // Starts the office unless a live one is connected. Throws HostError kEngineUnavailable
  // when it cannot.
  void EnsureStarted();
  // True while a started office is connected and answering.
  bool Live() const { return desktop.is() && !process->Ended() && !watchdog->fired(); }
  // True while the office that was current at `office_generation` still is.
  bool Serves(int office_generation) const { return process && office_generation == generation; }
  // Lets go of the bridge and ends the office.
  void Disconnect();

  // Runs `call` into the office under the watchdog; a failure becomes a HostError saying
  // `what` happened at `source` (kEngineUnavailable when the office has ended).
  template <typename Call>
  auto Guarded(const std::string& what, const std::string& source, Call call) {
    Watchdog::Guard guard(*watchdog);
    try {
      return call();
    } catch (const com::sun::star::lang::DisposedException& error) {
      // The bridge is gone: the office has ended, or is ending, so make sure it is gone.
      process->Kill();
      Fail(what, source, Utf8(error.Message));
    } catch (const com::sun::star::uno::Exception& error) {
      Fail(what, source, Utf8(error.Message));
    }
  }

  OfficeOptions options;
  std::unique_ptr<OfficeProcess> process;
  std::unique_ptr<Watchdog> watchdog;
  com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context;
  com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop;
  int generation = 0;  // counts the offices started

 private:
  void ConnectOrThrow();
  [[noreturn]] void Fail(const std::string& what, const std::string& source,
                         const std::string& detail);
};

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_OFFICE_CONNECTION_H_
