#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "hostdata/code_page.h"
#include "hostdata/test_tables.h"
#include "returns/build_fixture.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

class FakePlatform : public ShellPlatform {
 public:
  std::string ProgramFolder() override { return "/opt/vatrix"; }
  std::string SettingsFile() override { return settings; }
  bool PreviousInstanceRunning() override { return previous_instance; }
  std::optional<std::string> ChooseFolder(const std::string& start) override {
    dialog_starts.push_back(start);
    return chosen_folder;
  }
  std::optional<int> SearchCompany() override {
    searches.push_back(window && window->session().SearchOpen);
    return search_choice;
  }

  std::string settings = "/nonexistent/Vatrix.ini";
  const MainWindow* window = nullptr;  // to see the session while the search dialog is open
  std::optional<int> search_choice;
  std::vector<bool> searches;  // per search, whether the session knew the dialog was open
  bool previous_instance = false;
  std::optional<std::string> chosen_folder;
  std::vector<std::string> dialog_starts;
};

Control Button(std::string_view code) { return *MainWindow::FormButton(code); }

std::vector<std::string> Strings(const std::vector<std::string_view>& items) {
  return {items.begin(), items.end()};
}

std::string SampleFolder() {
  const char* sample = std::getenv("VATRIX_SAMPLE");
  return sample ? sample : "";
}

// A window over an installation, loaded, with a company chosen and the chooser left.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = testing::MakeTempFolder();
    platform_.chosen_folder = out_;
  }
  void TearDown() override { fs::remove_all(out_); }

  MainWindow& Open(const std::string& host) {
    window_ = std::make_unique<MainWindow>(host, platform_, ui_);
    window_->Form_Load();
    return *window_;
  }
  // Chooses the company whose chooser item starts with `code` ("0007") and leaves the chooser.
  MainWindow& OpenCompany(const std::string& host, const std::string& code, Control button) {
    MainWindow& window = Open(host);
    const auto& items = window.combo(Control::kCombo1).items;
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].rfind(code, 0) == 0) window.ChooseItem(Control::kCombo1, static_cast<int>(i));
    }
    window.MoveFocus(button);
    window.PressFormButton(button);
    return window;
  }
  void WriteSettings(const std::string& text) {
    platform_.settings = out_ + "/Vatrix.ini";
    std::ofstream(platform_.settings) << text;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& message : ui_.messages) texts.push_back(message.text);
    return texts;
  }
  void Choose(MainWindow& window, Control combo, const std::string& item) {
    const auto& items = window.combo(combo).items;
    const auto found = std::find(items.begin(), items.end(), item);
    ASSERT_NE(found, items.end()) << item;
    window.ChooseItem(combo, static_cast<int>(found - items.begin()));
  }

  FakePlatform platform_;
  testing::PanelRecordingUi ui_;
  std::unique_ptr<MainWindow> window_;
  std::string out_;
};

// ---------------------------------------------------------------------------------------
// Start-up and the company chooser.

TEST_F(MainWindowTest, ChooserListsTheCatalogueByNameAndLeavingItLoadsTheCompany) {
  MainWindow& window = Open(SampleFolder());
  EXPECT_EQ(window.combo(Control::kCombo1).items,
            (std::vector<std::string>{"0001 | 01/04/07-31/03/08 | Old Traders",
                                      "0012 | 01/04/16-31/03/17 | Patel & Sons",
                                      "0007 | 01/04/15-31/03/16 | Sam's Traders & Co.",
                                      "0008 | 01/04/16-31/03/17 | Sam's Traders & Co."}));
  EXPECT_EQ(window.combo(Control::kCombo1).index, 0);
  EXPECT_EQ(window.session().CompanyCode, "");  // not loaded before the chooser is left
  EXPECT_FALSE(window.proceed_enabled());
  EXPECT_FALSE(window.shown(Control::kFra201A));

  window.ChooseItem(Control::kCombo1, 2);
  window.MoveFocus(Button("201"));
  const Session& session = window.session();
  EXPECT_TRUE(window.proceed_enabled());
  EXPECT_EQ(session.CompanyCode, "007");
  EXPECT_EQ(session.YearFrom, "01/04/2015");
  EXPECT_EQ(session.YearTo, "31/03/2016");
  EXPECT_EQ(session.CompanyStNo, "24073001234");
  EXPECT_EQ(session.CompanyCstNo, "24573001234");
  EXPECT_EQ(session.ReturnCode, "201A");
  EXPECT_EQ(window.lists().list1.size(), 3u);  // the sales accounts, for the default form
  EXPECT_EQ(session.SpecialChars.size(), 29u);
  EXPECT_TRUE(ui_.messages.empty());
}

// F1 in the chooser opens the company search; its choice becomes the chooser's item, and while
// the dialog is open leaving the chooser loads nothing.
TEST_F(MainWindowTest, F1InTheChooserSearchesAndTheChoiceReachesTheChooser) {
  MainWindow& window = Open(SampleFolder());
  platform_.window = &window;
  window.Combo1_KeyDown(113);  // F2: nothing
  EXPECT_TRUE(platform_.searches.empty());
  platform_.search_choice = 2;
  window.Combo1_KeyDown(112);
  EXPECT_EQ(platform_.searches, std::vector<bool>{true});
  EXPECT_FALSE(window.session().SearchOpen);
  EXPECT_EQ(window.combo(Control::kCombo1).index, 2);
  platform_.search_choice = std::nullopt;  // closed without a choice: the item stays
  window.Combo1_KeyDown(112);
  EXPECT_EQ(window.combo(Control::kCombo1).index, 2);
  platform_.search_choice = 99;  // no such item
  window.Combo1_KeyDown(112);
  EXPECT_EQ(window.combo(Control::kCombo1).index, 2);
  window.MoveFocus(Button("201"));
  EXPECT_EQ(window.session().CompanyCode, "007");
}

// Enter moves to the next control on show in the window's order, skipping captions, frames
// and hidden controls.
TEST_F(MainWindowTest, EnterWalksTheShownControlsInOrder) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201A"));
  std::vector<Control> walk = {window.focus()};
  for (int step = 0; step < 12; ++step) {
    window.keyEnter(window.focus());
    walk.push_back(window.focus());
  }
  const std::vector<Control> expected = {
      Control::kCombo4,        Control::kCombo6,  Control::kOption1,      Control::kOption2,
      Control::kList1,         Control::kOptOld,  Control::kOptNew,       Control::kChkAddTax,
      Control::kText1,         Control::kCmdPath, Control::kTxteFileName, Control::kCombo2,
      Control::kCmd201AProceed};
  EXPECT_EQ(walk, expected);
  window.keyEnter(Control::kCmd201AProceed);  // round to the chooser strip
  EXPECT_EQ(window.focus(), Control::kCombo1);
}

class SmallInstallationTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    host_ = testing::MakeTempFolder();
    testing::TestTable catalogue;
    catalogue.fields = {{"CODE", 'N', 4}, {"NAME", 'C', 20}, {"DFR", 'D', 8},
                        {"DTO", 'D', 8},  {"STNO", 'C', 15}, {"CSTNO", 'C', 15}};
    catalogue.rows = {{"7", "Seven", "20150401", "20160331", "24070000007", ""},
                      {"1234", "Big", "20160401", "20170331", "", "24571234"},
                      {"55", "Undated", "", "", "2407", "2457"},
                      {"", "Anonymous", "20150401", "20160331", "", ""}};
    testing::WriteFile(host_ + "/Company.dbf", testing::DbfBytes(catalogue));
    // Purchase accounts only: no sales account to choose.
    WriteCompany("1234", {{"Purchases", "200", "", "", "100006"}},
                 {{"Dealer's 5%", "1", ""}, {"VAT 12.5%", "2", ""}, {"Zero", "3", ""}});
  }
  // The company folder `code` with its accounts (NAME CODE FLAG TAG GROUP) and tax types
  // (NAME CODE TAG).
  void WriteCompany(const std::string& code, std::vector<std::vector<std::string>> accounts,
                    std::vector<std::vector<std::string>> taxes) {
    fs::create_directory(host_ + "/" + code);
    testing::TestTable act;
    act.fields = {
        {"NAME", 'C', 20}, {"CODE", 'N', 6}, {"FLAG", 'C', 1}, {"TAG", 'C', 1}, {"GROUP", 'C', 6}};
    act.rows = std::move(accounts);
    testing::WriteFile(host_ + "/" + code + "/ACT.dbf", testing::DbfBytes(act));
    testing::TestTable stax;
    stax.fields = {{"NAME", 'C', 20}, {"CODE", 'N', 4}, {"TAG", 'C', 1}};
    stax.rows = std::move(taxes);
    testing::WriteFile(host_ + "/" + code + "/STAX.dbf", testing::DbfBytes(stax));
  }
  void TearDown() override {
    fs::remove_all(host_);
    MainWindowTest::TearDown();
  }

  std::string host_;
};

TEST_F(SmallInstallationTest, CompanyCodesKeepThreeOrFourDigits) {
  MainWindow& window = Open(host_);
  EXPECT_EQ(window.combo(Control::kCombo1).items,
            (std::vector<std::string>{" | 01/04/15-31/03/16 | Anonymous",
                                      "1234 | 01/04/16-31/03/17 | Big",
                                      "0007 | 01/04/15-31/03/16 | Seven", "0055 | - | Undated"}));
  window.ChooseItem(Control::kCombo1, 2);
  window.AssignValueToGlobalVarialble();
  EXPECT_EQ(window.session().CompanyCode, "007");
  EXPECT_EQ(window.session().CompanyCstNo, "");
  window.ChooseItem(Control::kCombo1, 1);
  window.AssignValueToGlobalVarialble();
  EXPECT_EQ(window.session().CompanyCode, "1234");
  EXPECT_EQ(window.session().YearFrom, "01/04/2016");
  EXPECT_EQ(window.session().CompanyStNo, "");
  EXPECT_TRUE(ui_.messages.empty());

  // A null year is reported; the numbers read before it keep their new values.
  window.ChooseItem(Control::kCombo1, 3);
  window.AssignValueToGlobalVarialble();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Formwise Recordset - Error");
  EXPECT_EQ(ui_.messages[0].text.rfind("Error Number : 94\r\nError Description : ", 0), 0u);
  EXPECT_EQ(window.session().CompanyCode, "055");
  EXPECT_EQ(window.session().CompanyStNo, "2407");
  EXPECT_EQ(window.session().YearFrom, "01/04/2016");
  // A row without a code is not found again: reported, the window stays.
  window.ChooseItem(Control::kCombo1, 0);
  window.AssignValueToGlobalVarialble();
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_FALSE(window.closed());
}

TEST_F(SmallInstallationTest, StartFailuresCloseTheWindow) {
  platform_.previous_instance = true;
  MainWindow& running = Open(host_);
  EXPECT_TRUE(running.session().AlreadyRunning);
  EXPECT_EQ(ui_.messages.back().text, "Software is already running........");
  EXPECT_EQ(ui_.messages.back().icon, MessageIcon::kNone);
  running.Form_Activate();
  EXPECT_TRUE(running.closed());
  platform_.previous_instance = false;

  testing::TestTable empty;
  empty.fields = {{"CODE", 'N', 4}, {"NAME", 'C', 20}, {"DFR", 'D', 8}, {"DTO", 'D', 8}};
  testing::WriteFile(host_ + "/Company.dbf", testing::DbfBytes(empty));
  MainWindow& no_company = Open(host_);
  EXPECT_TRUE(no_company.session().StartFailed);
  EXPECT_EQ(
      ui_.messages.back().text,
      "There is no Company Install in Ordova.....\r\n\r\nSORRY...We can't proceed further...");

  testing::WriteFile(host_ + "/Company.dbf", "not a table");
  MainWindow& damaged = Open(host_);
  EXPECT_EQ(ui_.messages.back().title, "Form Load Error");
  EXPECT_EQ(ui_.messages.back().text.rfind("-2147217913 ", 0), 0u) << ui_.messages.back().text;
  EXPECT_FALSE(damaged.closed());

  fs::remove(host_ + "/Company.dbf");
  MainWindow& missing = Open(host_);
  EXPECT_EQ(ui_.messages.back().text, "Company.Dbf File Not Found in " + host_ +
                                          "\r\n\r\nSORRY...We can't proceed further...");
  missing.Form_Activate();
  EXPECT_TRUE(missing.closed());
}

TEST_F(SmallInstallationTest, SettingsFileTurnsTaxSelectionOn) {
  EXPECT_FALSE(Open(host_).session().TaxSelection);  // no settings file
  WriteSettings("[Settings]\r\nTax Selection=Yes\r\n");
  EXPECT_TRUE(Open(host_).session().TaxSelection);
  WriteSettings("[Settings]\nTax Selection=\n");
  EXPECT_FALSE(Open(host_).session().TaxSelection);
}

TEST_F(SmallInstallationTest, SettingsFileNamesTheCodePageOfTablesThatNameNone) {
  WriteSettings("[Settings]\nCodePage=850\n");
  Open(host_);
  EXPECT_EQ(UnnamedCodePage(), "CP850");
  SetUnnamedCodePage("");
  WriteSettings("[Settings]\nCodePage=Klingon\n");
  EXPECT_TRUE(Open(host_).session().StartFailed);
  EXPECT_NE(ui_.messages.back().text.find("names code page Klingon"), std::string::npos);
  SetUnnamedCodePage("1251");  // named on the command line: the settings file does not change it
  WriteSettings("[Settings]\nCodePage=850\n");
  Open(host_);
  EXPECT_EQ(UnnamedCodePage(), "CP1251");
  SetUnnamedCodePage("");
}

// ---------------------------------------------------------------------------------------
// The return-form buttons and the selection lists.

// The window shows each form as its row of the form table says.
TEST_F(MainWindowTest, EachButtonSetsUpItsFormFromTheTable) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("205"));
  for (const ReturnForm& form : ReturnForms()) {
    SCOPED_TRACE(form.code);
    const Control button = Button(form.code);
    EXPECT_EQ(MainWindow::FormOf(button), &form);
    window.PressFormButton(button);
    EXPECT_EQ(window.session().ReturnCode, form.code);
    EXPECT_EQ(window.bold_button(), button);
    EXPECT_EQ(window.combo(Control::kCombo4).items, Strings(form.return_types));
    EXPECT_EQ(window.combo(Control::kCombo4).index, 0);
    EXPECT_EQ(window.combo(Control::kCombo6).index, 0);
    EXPECT_EQ(window.combo(Control::kCombo2).items, Strings(form.file_types));
    EXPECT_EQ(window.combo(Control::kCombo2).text(),
              form.chosen_file_type.empty() ? form.file_types[0] : form.chosen_file_type);
    EXPECT_EQ(window.text(Control::kTxteFileName).rfind(form.file_name_prefix, 0), 0u);
    EXPECT_TRUE(window.shown(Control::kFra201A));
    EXPECT_EQ(window.shown(Control::kLabel3), !form.list1.title.empty());
    if (!form.list1.title.empty()) {
      EXPECT_EQ(window.text(Control::kLabel3), form.list1.title);
    }
    EXPECT_EQ(window.shown(Control::kList1), form.list1_shown);
    EXPECT_FALSE(window.shown(Control::kList2));
    EXPECT_EQ(window.shown(Control::kFrame2),
              !form.list2.title.empty() && !form.list2.title_with_tax_selection);
    EXPECT_EQ(window.shown(Control::kFrame3), form.layout_choice);
    EXPECT_EQ(window.shown(Control::kCombo5), form.cst_fields);
    if (form.all_items) {
      EXPECT_EQ(window.value(Control::kOption2), form.first_item_selected);
    }
    EXPECT_EQ(window.focus(), Control::kCombo4);
  }
  EXPECT_EQ(window.combo(Control::kCombo3).text(), "CATEGORY");
  EXPECT_EQ(window.combo(Control::kCombo5).text(), "No");
  EXPECT_TRUE(ui_.messages.empty());
  // Places beyond the table hold no button.
  EXPECT_FALSE(window.shown(FormButtonAt(ReturnForms().size())));
  EXPECT_EQ(MainWindow::FormOf(FormButtonAt(ReturnForms().size())), nullptr);
}

TEST_F(MainWindowTest, SelectedAccountsBecomeAccountCodes) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201A"));
  // The form starts on "Selected" with its first account, taken when the list was left.
  EXPECT_TRUE(window.value(Control::kOption2));
  EXPECT_TRUE(window.list_selected(Control::kList1, 0));
  EXPECT_EQ(window.session().AccountCodes, " '100102' ");

  window.MoveFocus(Control::kList1);
  window.SetListSelected(Control::kList1, 0, false);
  EXPECT_FALSE(window.MoveFocus(Control::kCombo6));
  EXPECT_EQ(ui_.messages.back().text, "Select atleast one Account.....");
  EXPECT_EQ(window.focus(), Control::kList1);

  window.SetListSelected(Control::kList1, 2, true);
  window.SetListCurrent(Control::kList1, 1);
  window.List_KeyEnter(Control::kList1);
  EXPECT_TRUE(window.MoveFocus(Control::kCombo6));
  EXPECT_EQ(window.session().AccountCodes, " '100103' , '100101' ");

  window.MoveFocus(Control::kOption1);
  window.Option1_Click();
  EXPECT_FALSE(window.visible(Control::kList1));
  EXPECT_EQ(window.session().AccountCodes, " '100102' , '100103' , '100101' ");
}

TEST_F(SmallInstallationTest, EmptyListFallsBackToAllAndTaxTypesBecomeTheFilter) {
  WriteSettings("[Settings]\nTax Selection=Yes\n");
  MainWindow& window = OpenCompany(host_, "1234", Button("201A"));
  EXPECT_EQ(Texts(), std::vector<std::string>{"No Record For Selection...."});
  EXPECT_TRUE(window.value(Control::kOption1));
  EXPECT_TRUE(window.shown(Control::kFrame2));
  EXPECT_EQ(window.text(Control::kLabel2), ":: Select Tax Type ::");

  window.MoveFocus(Control::kOption3);
  window.Option3_Click();
  EXPECT_TRUE(window.shown(Control::kList2));
  EXPECT_FALSE(window.shown(Control::kList1));
  window.SetListSelected(Control::kList2, 0, true);
  window.SetListSelected(Control::kList2, 1, true);
  platform_.chosen_folder = out_;
  window.MoveFocus(Control::kText1);
  window.MoveFocus(Control::kCmd201AProceed);
  window.cmd201AProceed_Click();
  // The apostrophe is doubled so that the literal still means the name.
  EXPECT_EQ(window.session().TaxFilter, " Stax.Name= 'Dealer''s 5%' OR  Stax.Name= 'VAT 12.5%' ");
  EXPECT_EQ(window.session().FileFormat, 6);

  // Without tax selection the filter stays empty whatever the options show.
  WriteSettings("");
  MainWindow& plain = OpenCompany(host_, "1234", Button("201A"));
  plain.Option3_Click();
  plain.SetListSelected(Control::kList2, 0, true);
  plain.SetText(Control::kText1, out_ + "/");
  plain.MoveFocus(Control::kCmd201AProceed);
  plain.cmd201AProceed_Click();
  EXPECT_EQ(plain.session().TaxFilter, "");
}

TEST_F(SmallInstallationTest, AccountsTakenFollowTheCompanyAndTheAllChoice) {
  WriteCompany("007", {{"Sales A", "300", "", "", "100005"}, {"Sales B", "303", "", "", "100005"}},
               {{"VAT 5%", "1", ""}});
  WriteSettings("[Settings]\nTax Selection=Yes\n");

  // Company 1234 has no sales account: "All" of nothing.
  MainWindow& window = OpenCompany(host_, "1234", Button("201A"));
  EXPECT_EQ(window.session().AccountCodes, "");
  // Another company refills the list; "All" now means its accounts, not the old ones.
  window.MoveFocus(Control::kCombo1);
  window.ChooseItem(Control::kCombo1, 2);  // 0007
  window.MoveFocus(Control::kCombo4);
  EXPECT_EQ(window.session().CompanyCode, "007");
  EXPECT_EQ(window.session().AccountCodes, " '300' , '303' ");

  window.MoveFocus(Control::kOption2);
  window.Option2_Click();
  window.SetListSelected(Control::kList1, 1, true);
  window.MoveFocus(Control::kOption3);
  EXPECT_EQ(window.session().AccountCodes, " '303' ");
  // "All" chosen while the tax types cover List1 still takes every account.
  window.Option3_Click();
  window.SetListSelected(Control::kList2, 0, true);
  window.MoveFocus(Control::kOption1);
  window.Option1_Click();
  EXPECT_EQ(window.session().AccountCodes, " '300' , '303' ");
  EXPECT_EQ(Texts(), std::vector<std::string>{"No Record For Selection...."});
}

TEST_F(MainWindowTest, BatchTitleAndBillAmountNotice) {
  WriteSettings("[Settings]\nTax Selection=1\n");
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201A"));
  EXPECT_EQ(window.text(Control::kLabel2), ":: Select Tax Type ::");
  window.PressFormButton(Button("201C"));
  EXPECT_EQ(window.text(Control::kLabel2), ":: Sales BatchNo ::");
  EXPECT_TRUE(window.shown(Control::kFrame2));
  EXPECT_FALSE(window.shown(Control::kList1));

  window.chkAddTax_Click();
  window.chkAddTax_Click();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::kNone);
  EXPECT_EQ(ui_.messages[0].text.rfind("We are not responsible For Wrong Report", 0), 0u);
}

// ---------------------------------------------------------------------------------------
// Periods and file names.

TEST_F(MainWindowTest, PeriodTextsFollowTheListsAndTheLeapYear) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201"));  // 2015-16
  const Session& session = window.session();
  EXPECT_EQ(session.PeriodRange, " Between #4/1/2015# and #4/30/2015# ");
  EXPECT_EQ(session.DayBeforePeriod, " #3/31/2015# ");
  EXPECT_EQ(window.text(Control::kTxteFileName), "Form 201 - Monthly - April");

  window.MoveFocus(Control::kCombo6);
  Choose(window, Control::kCombo6, "02.February");
  EXPECT_EQ(session.PeriodMonth, 4);  // a choice alone recomputes nothing
  window.MoveFocus(Control::kText1);
  EXPECT_EQ(session.PeriodRange, " Between #2/1/2016# and #2/29/2016# ");
  EXPECT_EQ(session.PeriodMonth, 2);
  EXPECT_EQ(window.text(Control::kTxteFileName), "Form 201 - Monthly - February");
  window.MoveFocus(Control::kCombo6);
  Choose(window, Control::kCombo6, "03.March");
  window.MoveFocus(Control::kCombo4);
  EXPECT_EQ(session.DayBeforePeriod, " #2/29/2016# ");

  window.MoveFocus(Control::kCombo4);
  Choose(window, Control::kCombo4, "HalfYearly");
  window.MoveFocus(Control::kCombo6);
  Choose(window, Control::kCombo6, "02.HalfYear");
  window.MoveFocus(Control::kCombo4);
  EXPECT_EQ(session.PeriodRange, " Between #10/1/2015# and #3/31/2016# ");
  EXPECT_EQ(session.DayBeforePeriod, " #9/30/2015# ");
  EXPECT_EQ(session.PeriodIndex, 2);
  EXPECT_EQ(session.PeriodMonth, 3);  // kept from the last monthly period
  EXPECT_EQ(window.text(Control::kTxteFileName), "Form 201 - HalfYearly - HalfYear - 02");

  window.PressFormButton(Button("205"));
  EXPECT_EQ(session.PeriodStart, "#4/1/2015# ");
  EXPECT_EQ(session.PeriodEnd, " #3/31/2016# ");
  EXPECT_EQ(session.PeriodIndex, 1);
  EXPECT_EQ(window.text(Control::kTxteFileName), "Form 205 - Annually - Annually - 01");
}

TEST_F(MainWindowTest, PeriodNamesFollowTheLists) {
  MainWindow& window = OpenCompany(SampleFolder(), "0008", Button("202A"));  // 2016-17
  const Session& session = window.session();
  EXPECT_EQ(session.PeriodName, "April");
  window.MoveFocus(Control::kCombo4);
  Choose(window, Control::kCombo4, "Quaterly");
  EXPECT_EQ(session.PeriodName, "First Quarter");
  window.MoveFocus(Control::kCombo6);
  Choose(window, Control::kCombo6, "04.Quarter");
  window.MoveFocus(Control::kText1);
  EXPECT_EQ(session.PeriodRange, " Between #1/1/2017# and #3/31/2017# ");
  EXPECT_EQ(session.PeriodName, "Fourth Quarter");
  EXPECT_EQ(window.text(Control::kTxteFileName), "Purchase - 202A - Quaterly - Quarter - 04");

  // Form 201A names its period only for the macro-based workbook.
  window.PressFormButton(Button("201A"));
  Choose(window, Control::kCombo4, "Quaterly");
  window.MoveFocus(Control::kCombo6);
  window.MoveFocus(Control::kText1);
  EXPECT_EQ(session.PeriodName, "Fourth Quarter");
  window.optNew_Click();
  window.MoveFocus(Control::kCombo6);
  window.MoveFocus(Control::kText1);
  EXPECT_EQ(session.PeriodName, "First Quarter");
}

// ---------------------------------------------------------------------------------------
// Output checks and Proceed.

TEST_F(MainWindowTest, OutputFolderAndNameAreChecked) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201"));
  // An empty folder opens the dialog, from the root when nothing was chosen before.
  platform_.chosen_folder = "/";
  window.MoveFocus(Control::kText1);
  EXPECT_EQ(platform_.dialog_starts, std::vector<std::string>{"/"});
  EXPECT_EQ(window.text(Control::kText1), "/");
  EXPECT_FALSE(window.MoveFocus(Control::kTxteFileName));
  EXPECT_EQ(
      ui_.messages.back().text,
      "Only C:\\ Drive is Not Valid...\r\nYou have to Create Folder in C:\\ and Then try....");
  EXPECT_EQ(platform_.dialog_starts.size(), 2u);

  window.SetText(Control::kText1, "   ");
  EXPECT_FALSE(window.MoveFocus(Control::kTxteFileName));
  EXPECT_EQ(ui_.messages.back().text, "Vatrix Path was not blank.....");

  platform_.chosen_folder = out_;
  window.cmdPath_Click();
  EXPECT_EQ(window.text(Control::kText1), out_ + "/");
  EXPECT_TRUE(window.MoveFocus(Control::kTxteFileName));

  // An existing file, a folder of that name and an empty name are all refused.
  std::ofstream(out_ + "/Form 201 - Monthly - April.xls") << "kept";
  EXPECT_FALSE(window.MoveFocus(Control::kCombo2));
  EXPECT_EQ(ui_.messages.back().text,
            "File Name : " + out_ + "/Form 201 - Monthly - April.xls is already exist.....");
  EXPECT_FALSE(window.session().FileNameOk);
  window.SetText(Control::kTxteFileName, "Taken");
  fs::create_directory(out_ + "/Taken.xls");
  EXPECT_FALSE(window.MoveFocus(Control::kCombo2));
  window.SetText(Control::kTxteFileName, " ");
  EXPECT_FALSE(window.MoveFocus(Control::kCombo2));
  EXPECT_EQ(ui_.messages.back().text, "File Name : " + out_ + "/ .xls is already exist.....");
  window.SetText(Control::kTxteFileName, "New");
  EXPECT_TRUE(window.MoveFocus(Control::kCombo2));
  EXPECT_TRUE(window.session().FileNameOk);

  std::ofstream(out_ + "/New.xls") << "kept";
  EXPECT_FALSE(window.MoveFocus(Control::kCmd201AProceed));
  EXPECT_EQ(window.focus(), Control::kCombo2);
}

TEST_F(MainWindowTest, ProceedStopsOnAnExistingFile) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201"));
  // A folder typed without its closing separator still names the folder the file goes in.
  window.SetText(Control::kText1, out_);
  std::ofstream(out_ + "/Form 201 - Monthly - April.xls") << "kept";
  bool built = false;
  window.RegisterBuilder("201", [&](BuildContext&) { built = true; });
  window.cmd201AProceed_Click();
  EXPECT_FALSE(built);
  EXPECT_FALSE(window.builder_ran());
  EXPECT_EQ(window.text(Control::kText1), out_ + "/");
  EXPECT_EQ(ui_.messages.back().text,
            "File Name : " + out_ + "/Form 201 - Monthly - April.xls is already exist.....");
  EXPECT_EQ(window.focus(), Control::kTxteFileName);
  EXPECT_TRUE(window.shown(Control::kFra201A));
  std::ifstream kept(out_ + "/Form 201 - Monthly - April.xls");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}

TEST_F(MainWindowTest, ProceedHandsTheChoicesToTheBuilder) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("201A"));
  window.SetText(Control::kText1, out_ + "/");
  window.MoveFocus(Control::kCombo4);
  Choose(window, Control::kCombo4, "Quaterly");
  Choose(window, Control::kCombo2, ".xls");
  window.MoveFocus(Control::kCmd201AProceed);
  std::optional<PanelChoices> seen;
  window.RegisterBuilder("201A", [&](BuildContext& context) {
    seen = context.panel;
    EXPECT_EQ(context.session.PeriodRange, " Between #4/1/2015# and #6/30/2015# ");
    EXPECT_EQ(context.master_folder, "/opt/vatrix/Master");
    context.SetPeriodName();
    EXPECT_EQ(context.session.PeriodName, "First Quarter");
    context.wait.Show();
    context.wait.SetTotal(12);
    context.wait.SetCurrent(3);
    std::optional<RecordSet> records = RecordSet();
    DatabaseClosed(context, &records);
    EXPECT_FALSE(records);
  });
  window.cmd201AProceed_Click();
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->file_name, "Sales - 201A - Quaterly - Quarter - 01");
  EXPECT_EQ(seen->file_type, ".xls");
  EXPECT_FALSE(seen->all_list1);
  EXPECT_EQ(seen->list1_selected, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(window.session().FileFormat, 56);
  EXPECT_TRUE(window.builder_ran());
  EXPECT_FALSE(window.shown(Control::kFra201A));
  EXPECT_EQ(window.focus(), Button("201A"));
  EXPECT_TRUE(std::any_of(ui_.panels.begin(), ui_.panels.end(), [](const WaitPanelState& p) {
    return p.visible && p.current_records == "3" && p.total_records == "12";
  }));
  ASSERT_FALSE(ui_.panels.empty());
  EXPECT_FALSE(ui_.panels.back().visible);
  EXPECT_EQ(ui_.panels.back().current_records, "<Cur.Records>");
}

TEST_F(MainWindowTest, MissingOrFailingBuilderIsReported) {
  MainWindow& window = OpenCompany(SampleFolder(), "0007", Button("202"));
  window.RegisterBuilder("202", {});  // every form has its builder: take one away
  window.SetText(Control::kText1, out_ + "/");
  window.MoveFocus(Control::kCmd201AProceed);
  window.cmd201AProceed_Click();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Form 202 is not available in this build.");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(ui_.messages[0].title, "Ordova - Vatrix");
  EXPECT_FALSE(window.builder_ran());
  EXPECT_FALSE(window.shown(Control::kFra201A));
  EXPECT_EQ(window.focus(), Button("202"));

  window.RegisterBuilder("202", [](BuildContext&) {
    throw HostError(kQueryRejected, "The query cannot be run", "query: Select");
  });
  window.PressFormButton(Button("202"));
  window.MoveFocus(Control::kCmd201AProceed);
  window.cmd201AProceed_Click();
  EXPECT_EQ(ui_.messages.back().title, "Form 202 - Error");
  EXPECT_FALSE(window.shown(Control::kFra201A));
}

}  // namespace
}  // namespace vatrix
