// The queue of timed bus messages (bus receiver 8). [8 4 {due time} {message}] keeps a whole bus
// message until the first time step whose model time has reached the due time, and then sends it.
// The scenario, the interlocking's timed releases and the switchboard's follow-ups use it.
#pragma once
#include <string>

#include "models/base/Model.h"

struct TDelayTask {
    double Time = 0;      // due time, model seconds
    std::string Message;  // a complete bus message, receiver first
};

class TDelayModel : public TModel {
    VELO_CLASS(TDelayModel, TModel)
public:
    explicit TDelayModel(TComponent* owner = nullptr);

    // Sends every task that is due at t, in queue order.
    void Synchronization(double t) override;
    // Command 4 queues a task; every other command is refused.
    int fnGetModelMessage(std::string& mes, TlstParams* lstPar) override;
    // [8 4 {due time} {message}]: 1 when queued; 0 for a due time in the past, a due time that is
    // not a finite number, or no message.
    int AddTask(std::string& mes);

private:
    // Ascending due time; among equal times the task added last comes first.
    dllist<TDelayTask> tasks;
    bool delivering = false;
};
