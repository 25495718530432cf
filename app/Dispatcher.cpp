// The bus hub of the main window: delivery by receiver number, the text message window
// (receiver 6), the operator's answer for receivers that have no model, and the log of model
// events with the hump follow-up of event 14.
#include <cctype>

#include "app/InterfaceModel.h"
#include "app/TrainerWindows.h"
#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

namespace {

// The text begins (after blanks) with a number, as the dispatcher reads its receiver.
bool BeginsWithNumber(const std::string& mes)
{
    int n = 0;
    return SScanf(mes.c_str(), "%d", &n) == 1;
}

} // namespace

void TfmMain::ConnectReceivers()
{
    // The models live as long as the window. A model receiver whose model the form does not
    // hold refuses.
    auto model = [this](int receiver, const char* name) {
        auto* m = dynamic_cast<TModel*>(FindComponent(name));
        Bus.SetReceiver(receiver, [m](std::string& mes, TlstParams* lst) { return m ? m->fnGetMessage(mes, lst) : 0; });
    };
    model(brInstructor, "InstructorModel");
    model(brPlan, "PlanModel");
    model(brEC, "EC_Model");
    model(brTecn, "TecnModel");
    model(brDelay, "DelayModel");
    Bus.SetReceiver(brInterface, [this](std::string& mes, TlstParams* lst) { return InterfaceCommand(mes, lst) ? 1 : 0; });
    Bus.SetReceiver(brMessage, [](std::string& mes, TlstParams*) {
        if (!fmMessage) return 0;
        fmMessage->mMessage->Lines().Clear();
        fmMessage->mMessage->Lines().Add(DropWords(mes, 1));
        fmMessage->Show();
        return 1;
    });
    // A text that does not begin with a number is read as receiver 0.
    auto* instructor = dynamic_cast<TModel*>(FindComponent("InstructorModel"));
    Bus.SetFallback([this, instructor](std::string& mes, TlstParams* lst) {
        if (!BeginsWithNumber(mes)) return instructor ? instructor->fnGetMessage(mes, lst) : 0;
        return ShowOperatorBox(mes) ? 1 : 0;
    });
    Bus.recording = false;
}

bool TfmMain::MessageDispatcher(TModel*, std::string& mes, TlstParams* lstPar)
{
    return Bus.Send(mes, lstPar) != 0;
}

bool TfmMain::ShowOperatorBox(std::string& mes)
{
    std::string answer;
    if (!InputQuery("Введите ответ модели", mes, answer) || answer.empty()) return false;
    mes = answer;
    return true;
}

void TfmMain::ModelsEvent(TModel*, AnsiString Mess)
{
    std::string line = SecondsToClock(static_cast<unsigned>(ModelTime)) + " " + Mess;
    if (fmConsole) fmConsole->AddConsoleEvent(line);

    unsigned code = 0;
    if (SScanf(line.c_str(), "%*s %u", &code) != 1 || code != 14) return;
    unsigned n = 0, k = 0, v = 0;
    if (SScanf(line.c_str(), "%*s %u %u %u %u", &code, &n, &k, &v) != 4) return;
    // The humping routes from the receiving tracks to the crest: the train on that track is
    // told that its humping may begin.
    if (k != 145 || n < 171 || n > 176 || v != 1) return;
    std::string mes = Format("%d %d %d %d", brPlan, 13, static_cast<int>(n) - 160, 1);
    if (!MessageDispatcher(nullptr, mes, nullptr)) return;
    int m = 0;
    SScanf(mes.c_str(), "%d", &m);
    if (m == 0) return;
    mes = Format("%d %d %u 212 1", brTecn, 5, static_cast<unsigned>(m));
    MessageDispatcher(nullptr, mes, nullptr);
}
