// Timed bus messages.
#include "models/operations/DelayModel.h"

#include <cmath>

#include "models/base/Utilit.h"
#include "platform/core/CFormat.h"

TDelayModel::TDelayModel(TComponent* owner) : TModel(owner) {}

int TDelayModel::fnGetModelMessage(std::string& mes, TlstParams*)
{
    int receiver = 0, command = 0;
    SScanf(mes.c_str(), "%d%d", &receiver, &command);
    if (command == 4) return AddTask(mes);
    return 0;
}

int TDelayModel::AddTask(std::string& mes)
{
    int receiver = 0, command = 0;
    float due = 0;
    if (SScanf(mes.c_str(), "%d%d%f", &receiver, &command, &due) < 3) return 0;
    if (SysTime() > due) return 0;

    AnsiString rest = DropWords(mes, 2);
    TDelayTask task;
    task.Time = AtofC(FirstWord(rest).c_str());
    // "nan" scans as a number but compares false with every time: at the head of the queue it
    // would hold back every task behind it for good.
    if (!std::isfinite(task.Time)) return 0;
    task.Message = DropWords(rest, 1);
    if (task.Message.empty()) return 0;

    listob<TDelayTask>* p = tasks.First();
    while (p && p->value.Time < task.Time) p = p->next;
    tasks.InsertAfter(task, p ? p->prev : tasks.Last());
    return 1;
}

void TDelayModel::Synchronization(double t)
{
    // A delivery may open a modal window whose event loop steps the models again; the pass that is
    // already walking the queue finishes first, and what a nested step would have sent waits for
    // the next one.
    if (delivering) return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(delivering);

    listob<TDelayTask>* p = tasks.First();
    while (p && p->value.Time <= t) {
        // The follower is taken before the delivery: a task that the delivery queues ahead of it
        // waits for the next step. The sent task leaves the queue before the delivery, so one
        // that fails is not sent again at every step.
        listob<TDelayTask>* next = p->next;
        std::string mes = p->value.Message;
        tasks.Remove(p);
        SendMessageA(mes);
        p = next;
    }
}
