// How a window other than the main window talks to the models: the one bus function. The main
// window's dispatcher delivers the message by its receiver number; the reply stands in mes.
#pragma once
#include <string>

// True when the receiver handled the message.
bool SendTrainerMessage(std::string& mes);
