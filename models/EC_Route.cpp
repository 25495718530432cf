// Routes, signals and switches of the interlocking model.
#include "models/EC_Model.h"

#include "platform/core/CFormat.h"

int TEC_Switch1::Trace(int) { return 0; }
bool TEC_Switch1::Reserve() { return true; }
int TEC_Switch1::State(std::string& buf)
{
    buf = Format("%d %d 1 0", Position, Reserved ? 1 : 0);
    return 1;
}
void TEC_Switch1::Step(double) {}
int TEC_Signal1::Trace(int) { return 0; }
bool TEC_Signal1::Reserve() { return true; }
void TEC_Signal1::Open(bool) {}
void TEC_Signal1::Close() {}
int TEC_Joint::Trace(int) { return 0; }
bool TEC_Joint::Reserve() { return true; }

int TEC_Model::fnSignalClick(unsigned, unsigned) { return 0; }
int TEC_Model::fnEndRouteClick(std::string&) { return 0; }
int TEC_Model::fnSignalCancel() { return 0; }
int TEC_Model::fnDeleteRouteClick() { return 0; }
int TEC_Model::fnGetSignalState(std::string&) { return 0; }
void TEC_Model::SetBegin(TEC_Signal1*, unsigned) {}
void TEC_Model::DeleteRoute(bool) {}
void TEC_Model::CheckRoute() {}
int TEC_Model::TraceInto(TEC_Vertex*, int) { return 0; }
void TEC_Model::AddRouteSection(TEC_Section1*) {}
bool TEC_Model::ReserveSection(TEC_Section1*, bool) { return true; }
int TEC_Model::SwitchCommand(unsigned, unsigned, unsigned) { return 0; }
int TEC_Model::AuxTurning(unsigned, unsigned) { return 0; }
int TEC_Model::RouteCancelClick(TEC_Signal1*, unsigned) { return 0; }
int TEC_Model::TimedRelease(std::string&) { return 0; }
int TEC_Model::CloseSignal(unsigned) { return 0; }
int TEC_Model::SwitchInquiry(std::string&) { return 0; }
void TEC_Model::DropRoute() {}
