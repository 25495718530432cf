// Interlocking sections, stretch tracks and blocks.
#include "models/EC_Model.h"

void TEC_Section1::Step(double) {}
bool TEC_Section1::IsOccupied() { return false; }
void TEC_Section1::ComputeVariant() {}
void TEC_Section1::ChangeState(int) {}
void TEC_Section1::ChangeFault(int) {}
void TEC_Section1::Release() {}
void TEC_Section1::GuardTest(int) {}
void TEC_Section1::SendCell(int) {}
void TEC_Section1::WatchFault(bool, int) {}
void TEC_SwitchSection::Step(double) {}
bool TEC_SwitchSection::IsOccupied() { return false; }
void TEC_SwitchSection::ComputeVariant() {}
void TEC_SwitchSection::ChangeState(int) {}
void TEC_SwitchSection::ChangeFault(int) {}
void TEC_SwitchSection::LockPlanSwitches(int) {}
void TEC_Block1::Step(double) {}
void TEC_Block1::ChangeState(int) {}
void TEC_PeregonTrack::Step(double) {}

int TEC_Model::SwitchControl(unsigned) { return 0; }
int TEC_Model::SectionInfo(unsigned, std::string&) { return 0; }
int TEC_Model::ArmRelease(unsigned) { return 0; }
int TEC_Model::ConfirmRelease() { return 0; }
int TEC_Model::DoRelease() { return 0; }
int TEC_Model::SetClosed(unsigned, unsigned) { return 0; }
int TEC_Model::SetFault(unsigned, unsigned) { return 0; }
int TEC_Model::SectionInquiry(std::string&) { return 0; }
int TEC_Model::FindSection(unsigned, std::string&) { return 0; }
