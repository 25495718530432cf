// The scenario editor and the start dialog on the sample station, offscreen: composing, saving
// and reopening a scenario, the question about unsaved edits, the file list, "Пуск", "Підхід..."
// and "Вихід"; and the whole sample lesson run for its model hour at full speed.
#include <QTest>
#include <QTimer>

#include "TrainerFixture.h"
#include "app/scenario/StartState.h"
#include "app/scenario/TaskMaker.h"
#include "models/base/BusRouter.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"
#include "platform/core/Paths.h"

namespace {

const std::filesystem::path kStation = std::filesystem::path(VELO_SOURCE_DIR) / "station";

void Click(TControl* c) { QTest::mouseClick(c->Widget(), Qt::LeftButton); }

std::vector<std::string> Items(TListBox* l)
{
    std::vector<std::string> out;
    for (int i = 0; i < l->Items().Count(); ++i) out.push_back(l->Items()[i]);
    return out;
}

// The lines of a scenario file in UTF-8.
std::vector<std::string> FileLines(const std::filesystem::path& p)
{
    std::vector<std::string> out;
    std::ifstream in(p, std::ios::binary);
    for (std::string l; std::getline(in, l);) out.push_back(Cp1251ToUtf8(l));
    return out;
}

} // namespace

class ScenarioWindowsTest : public TrainerTest {
protected:
    void SetUp() override
    {
        TrainerTest::SetUp();
        std::filesystem::remove_all("data");
        std::filesystem::copy(kStation / "data", "data", std::filesystem::copy_options::recursive);
        CreateTrainerWindows([] { return new TfmMain; });
        m = fmMain;
        m->ShowStartDialog = [] {};
        m->FormActivate(m);
        ed = fmTaskMaker;
        start = dynamic_cast<TfmStartState*>(fmStartState);
        ASSERT_NE(ed, nullptr);
        ASSERT_NE(start, nullptr);
        SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
            Boxes.push_back(text);
            return Answers.empty() ? IDOK : Answers.front();
        });
        SetFileDialogHook([this](bool save, const std::string&, const std::string& filter, const std::string& initialDir,
                                 std::string& fileName) {
            Dialogs.push_back(std::string(save ? "save " : "open ") + filter + " " + initialDir + " " + fileName);
            if (DialogAnswer.empty()) return false;
            fileName = DialogAnswer;
            return true;
        });
    }

    void TearDown() override
    {
        SetFileDialogHook(nullptr);
        TrainerTest::TearDown();
    }

    TfmMain* m = nullptr;
    TfmTaskMaker* ed = nullptr;
    TfmStartState* start = nullptr;
    std::vector<int> Answers;  // the answer of every box (IDOK when none)
    std::vector<std::string> Dialogs;
    std::string DialogAnswer;  // the file a dialog chooses; empty: cancelled
};

TEST_F(ScenarioWindowsTest, EditorComposesSavesAndReopensAScenario)
{
    ed->OpenFile("");
    ed->Show();
    EXPECT_EQ(ed->Caption(), "Тренажер ДСП ст.Тарвина-Сортировочная / Редактор сценаріїв");
    // A train to be broken up is offered first.
    EXPECT_TRUE(ed->Panel2->Visible() && !ed->Panel1->Visible() && ed->Panel5->Visible());
    ed->lbTrainNumber1->SetText("2417");
    ed->MaskEdit1->SetText("08:30");
    ed->cbTypeTrain1->SetItemIndex(1);
    ed->cbTypeTrain1Change(ed->cbTypeTrain1);
    EXPECT_TRUE(ed->Panel2->Visible() && ed->Panel1->Visible() && !ed->Panel5->Visible());
    ed->cbTypeTrain1->SetItemIndex(0);
    ed->cbTypeTrain1Change(ed->cbTypeTrain1);
    EXPECT_TRUE(ed->Panel2->Visible() && !ed->Panel1->Visible() && ed->Panel5->Visible());
    ed->lbTrainLoko1->SetText("166");
    ed->ebIndex1->SetText("4100 1 4000");
    Click(ed->FindChild<TButton>("btAdd1"));
    EXPECT_EQ(Items(ed->ListBox1), std::vector<std::string>{"08:30 2417: разборка, ИНД 4100 01 4000, УДЛ 50(Г), лок 166"});
    EXPECT_EQ(ed->lbTrainNumber1->Text(), "");

    // The number list offers the station's recorded trains but not 2417 any more, and no "ick".
    ed->lbTrainNumberDropDown(ed->lbTrainNumber1);
    std::vector<std::string> offered;
    for (int i = 0; i < ed->lbTrainNumber1->Items().Count(); ++i) offered.push_back(ed->lbTrainNumber1->Items()[i]);
    EXPECT_TRUE(offered.empty()) << "no sound folder copied";
    std::filesystem::create_directories("sound");
    for (const char* f : {"t2417.wav", "t1001.wav", "tick.wav", "td.wav", "l166.wav"}) std::ofstream("sound/" + std::string(f));
    ed->lbTrainNumberDropDown(ed->lbTrainNumber1);
    ASSERT_EQ(ed->lbTrainNumber1->Items().Count(), 1);
    EXPECT_EQ(ed->lbTrainNumber1->Items()[0], "1001");
    ed->lbTrainLokoDropDown(ed->cbAddLoko1);
    ASSERT_EQ(ed->cbAddLoko1->Items().Count(), 1);
    EXPECT_EQ(ed->cbAddLoko1->Items()[0], "166");
    // Leaving the number field with a number in the scenario.
    ed->lbTrainNumber1->SetText("2417");
    RunGuarded([this] { ed->lbTrainNumber1Exit(ed->lbTrainNumber1); });
    ed->lbTrainNumber1->SetText("");

    ed->PageControl1->SetActivePage(ed->FindChild<TTabSheet>("TabSheet3"));
    ed->MaskEdit3->SetText("10:00");
    ed->cbMode->SetItemIndex(0);
    ed->cbModeChange(ed->cbMode);
    EXPECT_TRUE(ed->cbSwitch->Visible() && !ed->cbSection->Visible());
    Click(ed->FindChild<TButton>("btAdd3"));
    ed->cbSwitch->SetItemIndex(ed->cbSwitch->Items().IndexOf("27"));
    Click(ed->FindChild<TButton>("btAdd3"));
    ed->cbMode->SetItemIndex(1);
    ed->cbModeChange(ed->cbMode);
    EXPECT_TRUE(!ed->cbSwitch->Visible() && ed->cbSection->Visible());
    ed->cbSection->SetItemIndex(ed->cbSection->Items().IndexOf("2П"));
    Click(ed->FindChild<TButton>("btAdd3"));
    EXPECT_EQ(Boxes, (std::vector<std::string>{"Повтор номера поезда", "Не указан номер стрелочного перевода"}));
    EXPECT_EQ(Items(ed->ListBox3),
              (std::vector<std::string>{"10:00 Невозможность перевода стрелки 27", "10:00 Ложная занятость секции 2П"}));

    // "Зберегти" of a new scenario asks for the name in "data".
    DialogAnswer = "data/new.shd";
    ed->N3Click(nullptr);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0], "save Снерарий тренировки|*.shd data ");
    EXPECT_FALSE(ed->Modified());
    const std::vector<std::string> lines = {"510 3 6 1 1025 2417 1511 166 1504 50 2001 750 1505 1 1540 4100 1541 1 1542 4000",
                                            "600 1 37 27 3", "600 2 19 12 101"};
    EXPECT_EQ(FileLines("data/new.shd"), lines);

    ed->OpenFile("data\\new.shd");
    EXPECT_EQ(ed->ScenarioFileName(), "data\\new.shd");
    EXPECT_EQ(Items(ed->ListBox1), std::vector<std::string>{"08:30 2417: разборка, ИНД 4100 01 4000, УДЛ 50(Г), лок 166"});
    EXPECT_EQ(Items(ed->ListBox3),
              (std::vector<std::string>{"10:00 Невозможность перевода стрелки 27", "10:00 Ложная занятость секции 2П"}));

    // "Видалити" puts the train back into the fields; "Додати" writes the same line again.
    ed->ListBox1->SetItemIndex(0);
    Click(ed->FindChild<TButton>("btRemove1"));
    EXPECT_TRUE(Items(ed->ListBox1).empty());
    EXPECT_EQ(ed->lbTrainNumber1->Text(), "2417");
    EXPECT_EQ(ed->MaskEdit1->Text(), "08:30");
    EXPECT_EQ(ed->ebIndex1->Text(), "4100 01 4000");
    EXPECT_EQ(ed->cbTypeTrain1->ItemIndex(), 0);
    Click(ed->FindChild<TButton>("btAdd1"));
    ed->N3Click(nullptr);
    EXPECT_EQ(FileLines("data/new.shd"), lines);
    EXPECT_EQ(Dialogs.size(), 1u);

    // Too many events: the first 299 are shown, the overflow says how many lines are kept unlisted.
    std::ofstream big("data/big.shd");
    for (int i = 0; i < 350; ++i) big << i << " 1 37 27 3\n";
    big.close();
    Boxes.clear();
    ed->OpenFile("data\\big.shd");
    EXPECT_EQ(Boxes, std::vector<std::string>{"Переполнение массива300\nЕщё 51 строк файла не показаны в списке; они "
                                              "сохраняются без изменений"});
    EXPECT_EQ(ed->ListBox3->Items().Count(), 299);
    EXPECT_EQ(ed->ScenarioFileName(), "data\\big.shd");
    ed->N3Click(nullptr);
    EXPECT_EQ(FileLines("data/big.shd").size(), 350u);
}

TEST_F(ScenarioWindowsTest, UnsavedEditsAreNeverLostWithoutAnAnswer)
{
    int closed = 0;
    ed->OnClosed = [&closed] { ++closed; };
    ed->OpenFile("data\\lesson1.shd");
    const std::vector<std::string> lesson = FileLines("data/lesson1.shd");
    ed->Show();
    ed->btClear3Click(nullptr);
    ASSERT_TRUE(ed->Modified());

    Answers = {IDCANCEL};
    ed->Close();
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(Boxes, std::vector<std::string>{"Сценарий изменен. Сохранить изменения?"});
    // "Створити" and "Відкрить..." ask the same question first.
    ed->N5Click(nullptr);
    DialogAnswer = "data/empty.shd";
    ed->N2Click(nullptr);
    EXPECT_EQ(Boxes.size(), 3u);
    EXPECT_TRUE(Dialogs.empty());
    EXPECT_EQ(ed->ScenarioFileName(), "data\\lesson1.shd");

    Answers = {IDNO};
    Boxes.clear();
    ed->Close();
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(FileLines("data/lesson1.shd"), lesson);

    // Yes on a new scenario whose save is cancelled stays open; a save that fails too.
    ed->OpenFile("");
    ed->Show();
    ed->btClear1Click(nullptr);
    Answers = {IDYES};
    DialogAnswer.clear();
    ed->Close();
    EXPECT_TRUE(ed->Visible());
    DialogAnswer = "no-such-folder/x.shd";
    Boxes.clear();
    ed->Close();
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(Boxes.back(), "Не могу записать файл no-such-folder/x.shd");
    EXPECT_EQ(ed->ScenarioFileName(), "");
    EXPECT_TRUE(ed->Modified());
    // Yes on a named scenario writes it and closes.
    ed->OpenFile("data\\lesson1.shd");
    ed->btClear3Click(nullptr);
    Answers = {IDYES};
    ed->Close();
    EXPECT_FALSE(ed->Visible());
    EXPECT_LT(FileLines("data/lesson1.shd").size(), lesson.size());
}

TEST_F(ScenarioWindowsTest, StartDialogListsTheScenariosAndOpensTheEditor)
{
    std::ofstream("data/notes.txt") << "x";
    std::ofstream("data/Extra.SHD") << "1 3 6 5 1025 57 2001 400\n";
    start->Show();
    start->FormActivate(start);
    EXPECT_EQ(start->Caption(), "Умови  тренування");
    EXPECT_EQ(Items(start->lbDataFiles), (std::vector<std::string>{"Extra.SHD", "empty.shd", "lesson1.shd", "lesson2.shd"}));
    // The sample lesson is chosen first.
    EXPECT_EQ(start->lbDataFiles->ItemIndex(), 2);

    start->lbDataFiles->SetItemIndex(-1);
    Click(start->Button1);
    EXPECT_EQ(Boxes, std::vector<std::string>{"Не указан вариант тренировки"});
    // A file that vanished before "Пуск" is named.
    start->lbDataFiles->SetItemIndex(0);
    std::filesystem::remove("data/Extra.SHD");
    Click(start->Button1);
    EXPECT_EQ(Boxes.back(), "Не найден файл сценария data\\Extra.SHD");
    EXPECT_EQ(Items(start->lbDataFiles), (std::vector<std::string>{"empty.shd", "lesson1.shd", "lesson2.shd"}));

    // "Підхід..." opens the editor modally on the chosen file; a file saved there under a new name
    // is listed as soon as the editor closes.
    start->lbDataFiles->SetItemIndex(1);
    std::string opened;
    QObject guard;  // drops the editor's part with the test's locals should the modal loop not run
    QTimer::singleShot(0, &guard, [&] {
        opened = fmTaskMaker->ScenarioFileName() + (fmTaskMaker->Modal() ? " modal" : "");
        DialogAnswer = "data/copy.shd";
        fmTaskMaker->N4Click(nullptr);
        fmTaskMaker->Close();
    });
    Click(start->Button3);
    EXPECT_EQ(opened, "data\\lesson1.shd modal");
    EXPECT_EQ(Items(start->lbDataFiles), (std::vector<std::string>{"copy.shd", "empty.shd", "lesson1.shd", "lesson2.shd"}));
    EXPECT_EQ(start->lbDataFiles->ItemIndex(), 2);
}

TEST_F(ScenarioWindowsTest, PuskRunsTheLessonForItsHourAndVykhidEndsTheProgram)
{
    // The technology model answers every train it is asked to create.
    TScriptedReceiver tecn;
    tecn.On("3 6", nullptr, 1);
    std::vector<double> createdAt;
    m->Bus.SetReceiver(brTecn, [&](std::string& mes, TlstParams* p) {
        // The movement model's questions about the run state of the plan's objects are refused.
        if (mes.rfind("3 4 ", 0) == 0) return 0;
        // The faults told to the electro-mechanic are taken.
        if (mes.rfind("3 5 ", 0) == 0) return 1;
        createdAt.push_back(m->ModelTime);
        return tecn(mes, p);
    });
    m->Bus.recording = true;
    start->FormActivate(start);
    start->Show();
    start->lbDataFiles->SetItemIndex(start->lbDataFiles->Items().IndexOf("lesson1.shd"));
    ASSERT_TRUE(m->ClockStopped());
    Click(start->Button1);
    EXPECT_TRUE(Boxes.empty()) << Boxes[0];

    // Every line of the lesson is queued with the delay model, and the clock runs at speed 1.
    std::vector<std::string> lines = FileLines("data/lesson1.shd"), queued = m->Bus.Requests(brDelay);
    ASSERT_EQ(queued.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(queued[i], ScenarioLineMessage(lines[i]));
    EXPECT_EQ(m->MainTimer->Interval(), 1000);
    EXPECT_EQ(m->N35->Caption(), "Пауза");
    EXPECT_FALSE(m->N66->Enabled());
    EXPECT_FALSE(fmActiveHelp->Visible());
    EXPECT_EQ(fmActiveHelp->BorderStyle(), bsNone);

    // The model hour at full speed: every train is created at its minute, every fault and call
    // is taken by its receiver, and nothing fails. The whole hour's messages stay in the log.
    m->Bus.logLimit = 0;
    int hour = 0;
    std::vector<std::string> trains;
    std::vector<double> due;
    for (const std::string& l : lines) {
        int minutes = 0, receiver = 0;
        std::istringstream(l) >> minutes >> receiver;
        hour = std::max(hour, minutes);
        if (receiver == 3) {
            trains.push_back(DropWords(l, 1));
            due.push_back(minutes * 60.0);
        }
    }
    EXPECT_GE(hour, 55);
    for (int s = 0; s <= hour * 60; ++s) m->MainTimerTimer(nullptr);
    EXPECT_EQ(tecn.received, trains);
    EXPECT_EQ(createdAt, due);
    for (const std::string& l : lines) {
        std::string mes = DropWords(l, 1);
        if (mes.rfind("3 ", 0) == 0) continue;
        auto r = std::find_if(m->Bus.log.begin(), m->Bus.log.end(), [&](const TBusRouter::Record& x) { return x.request == mes; });
        ASSERT_NE(r, m->Bus.log.end()) << mes;
        EXPECT_EQ(r->result, 1) << mes;
    }
    EXPECT_TRUE(Boxes.empty()) << Boxes[0];
    EXPECT_FALSE(std::filesystem::exists("ExecErr.tmp") && std::filesystem::file_size("ExecErr.tmp") > 0);

    // Every word the station and its scenarios speak, and every train and locomotive number, has
    // its sound fragment.
    for (const char* f : {"data/trenager.ini", "data/lesson1.shd"}) {
        for (std::string l : FileLines(f)) {
            if (std::string(f).find(".shd") != std::string::npos) l = DropWords(l, 1);
            std::vector<std::string> w;
            std::istringstream in(l);
            for (std::string x; in >> x;) w.push_back(x);
            size_t from = w.size() > 2 && w[0] == "4" ? (w[1] == "32" ? 3 : w[1] == "33" ? 2 : w.size()) : w.size();
            for (size_t i = from; i < w.size(); ++i)
                EXPECT_TRUE(FileExists((kStation / "sound" / (w[i] + ".wav")).string())) << w[i];
            for (size_t i = 0; i + 1 < w.size(); ++i) {
                if (w[i] == "1025" && AtolC(w[i + 1].c_str()) > 0) {
                    EXPECT_TRUE(FileExists((kStation / "sound" / ("t" + w[i + 1] + ".wav")).string())) << w[i + 1];
                }
                if ((w[i] == "1511" || w[i] == "1513" || w[i] == "1508") && AtolC(w[i + 1].c_str()) > 0) {
                    EXPECT_TRUE(FileExists((kStation / "sound" / ("l" + w[i + 1] + ".wav")).string())) << w[i + 1];
                }
            }
        }
    }

    // The close box of the dialog leaves the program as "Вихід" does.
    m->Bus.ClearLog();
    start->Show();
    start->FormActivate(start);
    start->Widget()->close();
    EXPECT_EQ(m->Bus.Requests(brInterface), std::vector<std::string>{"4 23"});
    EXPECT_FALSE(start->Visible());
    m->Show();
    m->Bus.ClearLog();
    start->Show();
    start->FormActivate(start);
    Click(start->Button2);
    EXPECT_EQ(m->Bus.Requests(brInterface), std::vector<std::string>{"4 23"});
    EXPECT_FALSE(m->Visible());
}

TEST_F(ScenarioWindowsTest, EveryPageShowsTheListsOrderAndClearingKeepsTheCalls)
{
    // Two faults out of time order:
    //   600 1 37 27 3        10:00 switch 27 cannot be turned
    //   300 2 19 12 101      05:00 section 2П falsely occupied
    std::ofstream("data/two.shd") << "600 1 37 27 3\n300 2 19 12 101\n";
    ed->OpenFile("data\\two.shd");
    ed->Show();
    ed->lbTrainNumber1->SetText("91");
    ed->MaskEdit1->SetText("08:00");
    ed->cbTypeTrain1->SetItemIndex(2);
    ed->cbTypeTrain1Change(ed->cbTypeTrain1);
    Click(ed->FindChild<TButton>("btAdd1"));
    // The add sorted the whole list; the faults page shows it, and "Видалити" removes the fault
    // that is selected.
    const std::vector<std::string> faults = {"05:00 Ложная занятость секции 2П", "10:00 Невозможность перевода стрелки 27"};
    ASSERT_EQ(Items(ed->ListBox3), faults);
    ed->ListBox3->SetItemIndex(1);
    Click(ed->FindChild<TButton>("btRemove3"));
    EXPECT_EQ(Items(ed->ListBox3), std::vector<std::string>{faults[0]});

    // The lesson's calls are shown readably; clearing the faults page keeps them.
    ed->OpenFile("data\\lesson1.shd");
    std::vector<std::string> calls;
    for (const std::string& i : Items(ed->ListBox3))
        if (i.find("виклик ") != std::string::npos || i.find("текст для ") != std::string::npos) calls.push_back(i);
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(calls[0], "00:04 текст для ПДСу: Состав с первого пути распустить");
    EXPECT_EQ(calls[1], "00:04 виклик ПДСу: Состав с первого пути распустить");
    Click(ed->FindChild<TButton>("btClear3"));
    EXPECT_EQ(Items(ed->ListBox3), calls);
    ed->N3Click(nullptr);
    int kept = 0;
    for (const std::string& l : FileLines("data/lesson1.shd")) kept += l.find(" 4 9 ") != std::string::npos;
    EXPECT_EQ(kept, 5);
}

TEST_F(ScenarioWindowsTest, PuskSaysWhichLinesItCouldNotSchedule)
{
    // A UTF-8 file with a byte-order mark; the last line is 300 bytes long:
    //   <BOM>1 4 9 ПДСу 0 Перший
    //   8:30 4 9 ПДСу 0 Другий
    //   -5 1 37 27 3
    //   12 7 1 2
    //   13 4 33 ааа...а
    const std::string longText(300 - 8, 'a');
    std::ofstream("data/hand.shd", std::ios::binary) << "\xEF\xBB\xBF" "1 4 9 ПДСу 0 Перший\n8:30 4 9 ПДСу 0 Другий\n"
                                                        "-5 1 37 27 3\n12 7 1 2\n13 4 33 " + longText + "\n";
    // The editor reads it as UTF-8 and says so.
    ed->OpenFile("data\\hand.shd");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Файл data\\hand.shd записан в кодировке UTF-8; он прочитан в ней и будет сохранён в кодировке 1251");
    EXPECT_EQ(Items(ed->ListBox3)[0], "00:01 виклик ПДСу: Перший");
    Boxes.clear();

    m->Bus.recording = true;
    start->FormActivate(start);
    start->Show();
    start->lbDataFiles->SetItemIndex(start->lbDataFiles->Items().IndexOf("hand.shd"));
    Click(start->Button1);
    EXPECT_EQ(m->Bus.Requests(brDelay), (std::vector<std::string>{"8 4 60.000000 4 9 ПДСу 0 Перший",
                                                                  "8 4 780.000000 4 33 " + longText}));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Не поставлены в расписание строки сценария hand.shd (3):\n"
                        "строка 2: не прочитано время 8:30: 8:30 4 9 ПДСу 0 Другий\n"
                        "строка 3: не прочитано время -5: -5 1 37 27 3\n"
                        "строка 4: неизвестный получатель 7: 12 7 1 2");
    std::vector<std::string> console;
    for (int i = 0; i < fmConsole->Memo1->Lines().Count(); ++i) console.push_back(fmConsole->Memo1->Lines()[i]);
    ASSERT_GE(console.size(), 3u);
    EXPECT_EQ(console[console.size() - 3],
              "00:00 сценарий hand.shd, строка 2 не поставлена в расписание: не прочитано время 8:30: 8:30 4 9 ПДСу 0 Другий");
}
