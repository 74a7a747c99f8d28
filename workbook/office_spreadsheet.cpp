#include "workbook/office_spreadsheet.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XEmbeddedScripts.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/provider/ScriptFrameworkErrorException.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <com/sun/star/script/provider/XScriptProviderSupplier.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellSeries.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <rtl/ustring.hxx>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "hostdata/file_bytes.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"
#include "workbook/atomic_output.h"
#include "workbook/csv_text.h"
#include "workbook/office_connection.h"
#include "workbook/uno_text.h"

namespace vatrix {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

struct OfficeSpreadsheet::Document {
  std::string path;           // the template
  int office_generation = 0;  // the office that holds the document
  Reference<css::lang::XComponent> component;
  Reference<css::sheet::XSpreadsheetDocument> workbook;
  std::vector<std::string> sheet_names;
  int active = 1;
  bool dirty = true;  // written since the last recalculation

  Reference<css::sheet::XSpreadsheet> SheetAt(int position) const {
    Reference<css::container::XIndexAccess> sheets(workbook->getSheets(), UNO_QUERY_THROW);
    return Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(position - 1), UNO_QUERY_THROW);
  }
  void ReadSheetNames() {
    sheet_names.clear();
    for (const OUString& name : workbook->getSheets()->getElementNames()) {
      sheet_names.push_back(Utf8(name));
    }
  }
};

namespace {

css::beans::PropertyValue Property(const char* name, const Any& value) {
  css::beans::PropertyValue property;
  property.Name = OUString::createFromAscii(name);
  property.Value = value;
  return property;
}

template <typename T>
Sequence<T> SequenceOf(const std::vector<T>& items) {
  return Sequence<T>(items.data(), static_cast<sal_Int32>(items.size()));
}

// Throws HostError kSpreadsheetError when `path` is no file that can be read or is empty.
void CheckTemplateFile(const std::string& path) {
  std::ifstream probe(path, std::ios::binary);
  if (!probe || std::filesystem::is_directory(path)) {
    throw HostError(kSpreadsheetError, "the template cannot be read", path);
  }
  if (probe.peek() == std::ifstream::traits_type::eof()) {
    throw HostError(kSpreadsheetError, "the template file is empty", path);
  }
}

// Why the loaded document cannot serve as a template, or nullptr when it can: it must be a
// spreadsheet, and not one the office made of a file it could only read as plain text.
const char* NotAWorkbook(const OfficeSpreadsheet::Document& document) {
  if (!document.workbook.is()) return "the file is a document of another kind, not a workbook";
  Reference<css::frame::XModel> model(document.component, UNO_QUERY_THROW);
  OUString filter;
  for (const css::beans::PropertyValue& argument : model->getArgs()) {
    if (argument.Name == "FilterName") argument.Value >>= filter;
  }
  return filter.startsWith("Text - txt - csv") ? "the file is plain text, not a workbook" : nullptr;
}

void CloseComponent(const Reference<css::lang::XComponent>& component) {
  Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
  if (closeable.is()) {
    closeable->close(true);
  } else if (component.is()) {
    component->dispose();
  }
}

// Closes a document that failed to load completely; the failure that led here is reported.
void CloseQuietly(const Reference<css::lang::XComponent>& component) {
  try {
    CloseComponent(component);
  } catch (const css::uno::Exception&) {
    // The office keeps the copy until it ends.
  }
}

}  // namespace

OfficeSpreadsheet::OfficeSpreadsheet(Office& office) : office_(office) {}

OfficeSpreadsheet::~OfficeSpreadsheet() { Close(); }

OfficeSpreadsheet::Document& OfficeSpreadsheet::Opened(const Sheet& sheet) {
  if (!document_) {
    throw HostError(kSpreadsheetError, "no workbook is open", "sheet '" + sheet.name + "'");
  }
  if (!office_.connection_->Serves(document_->office_generation)) {
    throw HostError(kEngineUnavailable,
                    "the spreadsheet engine that opened the workbook ended unexpectedly",
                    document_->path);
  }
  if (sheet.position < 1 || sheet.position > static_cast<int>(document_->sheet_names.size())) {
    throw HostError(kSubscriptOutOfRange, "the workbook has no sheet at this position",
                    document_->path + " sheet " + std::to_string(sheet.position));
  }
  return *document_;
}

void OfficeSpreadsheet::Open(const std::string& path) { Load(path, false, true); }

void OfficeSpreadsheet::OpenWithMacros(const std::string& path) { Load(path, true, true); }

bool OfficeSpreadsheet::OpenIfRunning(const std::string& path) { return Load(path, false, false); }

bool OfficeSpreadsheet::Load(const std::string& path, bool macros, bool may_start) {
  Close();
  Office::Connection& office = *office_.connection_;
  if (!may_start && !office.Live()) return false;
  CheckTemplateFile(path);
  if (may_start) office.EnsureStarted();
  auto document = std::make_unique<Document>();
  document->path = path;
  document->office_generation = office.generation;
  // Loaded as an untitled copy (the template file stays as it is), hidden, macros allowed only
  // when asked for, links to other files left as they are.
  const auto arguments = SequenceOf<css::beans::PropertyValue>(
      {Property("Hidden", Any(true)), Property("AsTemplate", Any(true)),
       Property("MacroExecutionMode",
                Any(macros ? css::document::MacroExecMode::ALWAYS_EXECUTE_NO_WARN
                           : css::document::MacroExecMode::NEVER_EXECUTE)),
       Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE))});
  // Without an interaction handler the office asks nothing: a file it would need a password
  // or a decision for fails to load.
  office.Guarded("the spreadsheet engine cannot open the template", path, [&] {
    Reference<css::frame::XComponentLoader> loader(office.desktop, UNO_QUERY_THROW);
    document->component = loader->loadComponentFromURL(FileUrlOf(path), "_blank", 0, arguments);
    if (!document->component.is()) {
      throw css::uno::RuntimeException(
          "the file is damaged, protected by a password or of a kind it cannot read");
    }
    try {
      document->workbook.set(document->component, UNO_QUERY);
      if (const char* refusal = NotAWorkbook(*document)) {
        throw css::uno::RuntimeException(OUString::createFromAscii(refusal));
      }
      // Formulas are recalculated in one pass before a read or save instead of after each block.
      Reference<css::sheet::XCalculatable> calculation(document->workbook, UNO_QUERY_THROW);
      calculation->enableAutomaticCalculation(false);
      document->ReadSheetNames();
    } catch (const css::uno::Exception&) {
      CloseQuietly(document->component);
      throw;
    }
  });
  document_ = std::move(document);
  return true;
}

Sheet OfficeSpreadsheet::SheetAt(int position) {
  Document& document = Opened({1, ""});
  if (position < 1 || position > static_cast<int>(document.sheet_names.size())) {
    throw HostError(kSubscriptOutOfRange, "the workbook has no sheet at this position",
                    document.path + " sheet " + std::to_string(position));
  }
  return {position, document.sheet_names[position - 1]};
}

Sheet OfficeSpreadsheet::SheetNamed(const std::string& name) {
  Document& document = Opened({1, ""});
  for (size_t i = 0; i < document.sheet_names.size(); ++i) {
    if (EqualsIgnoreCase(document.sheet_names[i], name)) {
      return {static_cast<int>(i) + 1, document.sheet_names[i]};
    }
  }
  throw HostError(kSubscriptOutOfRange, "the workbook has no sheet of this name",
                  document.path + " sheet '" + name + "'");
}

void OfficeSpreadsheet::Activate(const Sheet& sheet) {
  Document& document = Opened(sheet);
  office_.connection_->Guarded(
      "the spreadsheet engine cannot activate the sheet",
      document.path + " sheet '" + sheet.name + "'", [&] {
        Reference<css::frame::XModel> model(document.workbook, UNO_QUERY_THROW);
        Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY);
        if (view.is()) view->setActiveSheet(document.SheetAt(sheet.position));
      });
  document.active = sheet.position;
}

void OfficeSpreadsheet::Write(const Sheet& sheet, int row, int column, const CellValue& value) {
  Opened(sheet);
  CheckCellAddress(sheet, row, column);
  CheckCellValue(sheet, row, column, value);
  if (buffer_.Put(sheet.position, row, column, value)) Flush();
}

void OfficeSpreadsheet::Flush() {
  if (buffer_.empty()) return;
  Document& document = *document_;
  for (const CellBlock& block : buffer_.Take()) {
    Sequence<Sequence<Any>> rows(block.rows);
    auto next = block.values.begin();
    for (Sequence<Any>& row : rows) {
      row.realloc(block.columns);
      for (Any& cell : row) {
        if (const double* number = std::get_if<double>(&*next)) {
          cell <<= *number;
        } else {
          cell <<= Ou(std::get<std::string>(*next));
        }
        ++next;
      }
    }
    const Sheet sheet{block.sheet, document.sheet_names[block.sheet - 1]};
    office_.connection_->Guarded("the spreadsheet engine cannot write the cells",
                                 CellSource(sheet, block.top, block.left), [&] {
                                   Reference<css::sheet::XCellRangeData> range(
                                       document.SheetAt(block.sheet)
                                           ->getCellRangeByPosition(block.left - 1, block.top - 1,
                                                                    block.left + block.columns - 2,
                                                                    block.top + block.rows - 2),
                                       UNO_QUERY_THROW);
                                   range->setDataArray(rows);
                                 });
  }
  document.dirty = true;
}

void OfficeSpreadsheet::Recalculate() {
  Flush();
  if (!document_->dirty) return;
  office_.connection_->Guarded(
      "the spreadsheet engine cannot recalculate the workbook", document_->path, [&] {
        Reference<css::sheet::XCalculatable> calculation(document_->workbook, UNO_QUERY_THROW);
        calculation->calculate();
      });
  document_->dirty = false;
}

CellValue OfficeSpreadsheet::Read(const Sheet& sheet, int row, int column) {
  Document& document = Opened(sheet);
  CheckCellAddress(sheet, row, column);
  Recalculate();
  return office_.connection_->Guarded(
      "the spreadsheet engine cannot read the cell", CellSource(sheet, row, column),
      [&]() -> CellValue {
        Reference<css::sheet::XSpreadsheet> table = document.SheetAt(sheet.position);
        Reference<css::sheet::XCellRangeData> range(
            table->getCellRangeByPosition(column - 1, row - 1, column - 1, row - 1),
            UNO_QUERY_THROW);
        const Any value = range->getDataArray()[0][0];
        double number = 0;
        OUString text;
        if (value >>= number) return number;
        if (value >>= text) return Utf8(text);
        // A formula error has no value; its text is what the cell shows.
        Reference<css::text::XTextRange> shown(table->getCellByPosition(column - 1, row - 1),
                                               UNO_QUERY_THROW);
        return Utf8(shown->getString());
      });
}

namespace {

// The name of the library of `libraries` that holds `module` (any case), "Standard" first;
// the module's own spelling goes to `module`. Empty when none does.
OUString LibraryOf(const Reference<css::script::XLibraryContainer>& libraries, OUString& module) {
  Reference<css::container::XNameAccess> names(libraries, UNO_QUERY_THROW);
  std::vector<OUString> order = {"Standard"};
  for (const OUString& name : names->getElementNames()) {
    if (name != "Standard") order.push_back(name);
  }
  for (const OUString& library : order) {
    if (!names->hasByName(library)) continue;
    if (!libraries->isLibraryLoaded(library)) libraries->loadLibrary(library);
    Reference<css::container::XNameAccess> modules(names->getByName(library), UNO_QUERY);
    if (!modules.is()) continue;
    for (const OUString& candidate : modules->getElementNames()) {
      if (EqualsIgnoreCase(Utf8(candidate), Utf8(module))) {
        module = candidate;
        return library;
      }
    }
  }
  return OUString();
}

Any MacroArgument(double argument) {
  if (argument == std::trunc(argument) && std::abs(argument) < 2147483647.0) {
    return Any(static_cast<sal_Int32>(argument));
  }
  return Any(argument);
}

// Removes a file or folder of the engine's work folder when the save is over.
class Scratch {
 public:
  explicit Scratch(std::string path) : path_(std::move(path)) {}
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string ScratchName(const OfficeProcess& process, const std::string& suffix) {
  static int counter = 0;
  return process.work_dir() + "/save-" + std::to_string(++counter) + suffix;
}

}  // namespace

bool OfficeSpreadsheet::RunMacro(const std::string& reference, double argument) {
  Document& document = Opened({1, ""});
  const std::string name = reference.substr(reference.rfind('!') + 1);
  std::vector<std::string> parts(1);
  for (char c : name) {
    if (c == '.') {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  if (parts.size() < 2 || parts.size() > 3 || name.find_first_of("?&/ ") != std::string::npos) {
    throw HostError(kSpreadsheetError, "not a macro reference of the form Module.Macro",
                    document.path + " macro " + reference);
  }
  // The macro sees the formulas computed from every earlier write, and its own writes
  // recalculate as it goes, as in the workbook's own application.
  Recalculate();
  Office::Connection& office = *office_.connection_;
  const bool ran = office.Guarded("the macro failed", document.path + " macro " + name, [&] {
    Reference<css::document::XEmbeddedScripts> scripts(document.workbook, UNO_QUERY_THROW);
    Reference<css::script::XLibraryContainer> libraries(scripts->getBasicLibraries(), UNO_QUERY);
    if (!libraries.is()) return false;
    OUString module = Ou(parts[parts.size() - 2]);
    const OUString library = parts.size() == 3 ? Ou(parts[0]) : LibraryOf(libraries, module);
    if (library.isEmpty()) return false;
    Reference<css::script::provider::XScriptProviderSupplier> supplier(document.workbook,
                                                                       UNO_QUERY_THROW);
    Reference<css::script::provider::XScript> script;
    try {
      script = supplier->getScriptProvider()->getScript("vnd.sun.star.script:" + library + "." +
                                                        module + "." + Ou(parts.back()) +
                                                        "?language=Basic&location=document");
    } catch (const css::script::provider::ScriptFrameworkErrorException&) {
      return false;
    }
    Sequence<sal_Int16> out_index;
    Sequence<Any> out_arguments;
    Reference<css::sheet::XCalculatable> calculation(document.workbook, UNO_QUERY_THROW);
    calculation->enableAutomaticCalculation(true);
    script->invoke(SequenceOf<Any>({MacroArgument(argument)}), out_index, out_arguments);
    calculation->enableAutomaticCalculation(false);
    return true;
  });
  if (ran) {
    document.dirty = true;
    office.Guarded("cannot list the sheets after the macro", document.path,
                   [&] { document.ReadSheetNames(); });
  }
  return ran;
}

void OfficeSpreadsheet::InsertRowsBelow(const Sheet& sheet, int row, int count) {
  Document& document = Opened(sheet);
  CheckCellAddress(sheet, row, 1);
  if (count < 0 || row + count > kMaxRow) {
    throw HostError(kSpreadsheetError,
                    "cannot insert " + std::to_string(count) + " rows: the sheet holds " +
                        std::to_string(kMaxRow) + " rows at most",
                    CellSource(sheet, row, 1));
  }
  if (count == 0) return;
  Flush();
  Office::Connection& office = *office_.connection_;
  office.Guarded("the spreadsheet engine cannot insert the rows", CellSource(sheet, row, 1), [&] {
    Reference<css::sheet::XSpreadsheet> table = document.SheetAt(sheet.position);
    Reference<css::table::XColumnRowRange> lines(table, UNO_QUERY_THROW);
    // With expanding references, a range that ends at `row` (a list total) takes in the rows
    // inserted right below it.
    Reference<css::beans::XPropertySet> settings(
        office.context->getServiceManager()->createInstanceWithContext(
            "com.sun.star.sheet.GlobalSheetSettings", office.context),
        UNO_QUERY_THROW);
    const Any expand = settings->getPropertyValue("ExpandReferences");
    settings->setPropertyValue("ExpandReferences", Any(true));
    lines->getRows()->insertByIndex(row, count);
    settings->setPropertyValue("ExpandReferences", expand);
    // Fills the new rows from the row above them in one call (each call costs the office tens
    // of milliseconds, whatever its size). Only the used columns are filled: a whole sheet row
    // is thousands of columns wide.
    Reference<css::sheet::XUsedAreaCursor> used(table->createCursor(), UNO_QUERY_THROW);
    used->gotoEndOfUsedArea(false);
    const sal_Int32 last_column =
        Reference<css::sheet::XCellRangeAddressable>(used, UNO_QUERY_THROW)
            ->getRangeAddress()
            .EndColumn;
    Reference<css::sheet::XCellSeries> series(
        table->getCellRangeByPosition(0, row - 1, last_column, row + count - 1), UNO_QUERY_THROW);
    series->fillSeries(css::sheet::FillDirection_TO_BOTTOM, css::sheet::FillMode_SIMPLE,
                       css::sheet::FillDateMode_FILL_DATE_DAY, 0, 0);
  });
  document.dirty = true;
}

void OfficeSpreadsheet::SaveAs(const std::string& path, int file_format) {
  Opened({1, ""});
  if (file_format != kFormatExcel97 && file_format != kFormatCsv) {
    throw HostError(kSpreadsheetError,
                    "cannot save in file format " + std::to_string(file_format) +
                        " (56 is an .xls workbook, 6 a .csv sheet)",
                    path);
  }
  Recalculate();
  file_format == kFormatExcel97 ? SaveWorkbook(path) : SaveCsv(path);
}

void OfficeSpreadsheet::SaveWorkbook(const std::string& path) {
  Office::Connection& office = *office_.connection_;
  const Scratch saved(ScratchName(*office.process, ".xls"));
  office.Guarded("the spreadsheet engine cannot save the workbook", path, [&] {
    Reference<css::frame::XStorable> storable(document_->workbook, UNO_QUERY_THROW);
    storable->storeToURL(
        FileUrlOf(saved.path()),
        SequenceOf<css::beans::PropertyValue>({Property("FilterName", Any(OUString("MS Excel 97"))),
                                               Property("Overwrite", Any(true))}));
  });
  CopyToNewFile(saved.path(), path);
}

// The office writes the active sheet's displayed texts as UTF-8 CSV into a scratch folder;
// this program then writes them in the CSV form the builders' users expect.
void OfficeSpreadsheet::SaveCsv(const std::string& path) {
  Office::Connection& office = *office_.connection_;
  const Scratch folder(ScratchName(*office.process, ""));
  std::error_code error;
  if (!std::filesystem::create_directory(folder.path(), error)) {
    throw HostError(kSpreadsheetError,
                    "cannot make a scratch folder for the sheet's text: " + error.message(),
                    folder.path());
  }
  const std::string options =
      "44,34,76,1,,0,false,true,true,false,false," + std::to_string(document_->active);
  office.Guarded("the spreadsheet engine cannot save the sheet as text", path, [&] {
    Reference<css::frame::XStorable> storable(document_->workbook, UNO_QUERY_THROW);
    storable->storeToURL(
        FileUrlOf(folder.path() + "/sheet.csv"),
        SequenceOf<css::beans::PropertyValue>(
            {Property("FilterName", Any(OUString("Text - txt - csv (StarCalc)"))),
             Property("FilterOptions", Any(Ou(options))), Property("Overwrite", Any(true))}));
  });
  std::optional<std::string> text;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    text = ReadFileBytes(entry.path().string());
  }
  if (!text) {
    throw HostError(kSpreadsheetError, "the spreadsheet engine wrote no text of the sheet", path);
  }
  WriteNewFile(path, ToWindows1252(CsvBytes(ParseCsv(*text))));
}

void OfficeSpreadsheet::Close() {
  buffer_.Take();
  if (!document_) return;
  const std::unique_ptr<Document> document = std::move(document_);
  Office::Connection& office = *office_.connection_;
  // A workbook of an office that has since been replaced went with that office.
  if (!office.Serves(document->office_generation)) return;
  try {
    office.Guarded("cannot close the workbook", document->path,
                   [&] { CloseComponent(document->component); });
  } catch (const HostError&) {
    // The office has ended or refuses to close the copy; it goes with the office.
  }
}

void OfficeSpreadsheet::Quit() { Close(); }

}  // namespace vatrix
