// Car retarders of the track plan: the retarder types read from "data\breakers.dat" (their
// properties), the retarder devices that give a retarding value, and the retarder placements of
// plan.dat record 5 that lay a device over some sections.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "models/base/Containers.h"
#include "models/base/Model.h"

class TPlanModel;

// One braking position of a retarder type: two values in file order.
struct TBreakPosition {
    double First = 0;
    double Second = 0;
};

// A retarder type. Kind 0 is the bare base; the three real kinds follow.
class TBreakerProperties {
public:
    virtual ~TBreakerProperties() = default;
    // Reads the key/value lines of one type up to its key 0; false when the file ends first.
    virtual bool Read(std::FILE* f);
    virtual int Kind() const { return 0; }

    AnsiString Name;
    double K = 0;  // key 10, the divisor
    double P = 0;  // key 2, the force coefficient

protected:
    // Handles one key; returns false when the file ended while reading its value line.
    virtual bool ReadKey(int key, std::FILE* f);
};

class TWGBreakerProperties : public TBreakerProperties {
public:
    int Kind() const override { return 1; }
};

// Types with braking positions (kinds 2 and 3).
class TPositionBreakerProperties : public TBreakerProperties {
public:
    double B0 = 0;  // key 30, the base value
    TArray5<TBreakPosition> Positions;

protected:
    bool ReadKey(int key, std::FILE* f) override;
};

class TRNZBreakerProperties : public TPositionBreakerProperties {
public:
    int Kind() const override { return 2; }
};

class TPRBreakerProperties : public TPositionBreakerProperties {
public:
    int Kind() const override { return 3; }
};

// The retarder types of a plan; owns them.
class TaBreakerProperties : public TArray10<TBreakerProperties*> {
public:
    ~TaBreakerProperties() override;
    // Deletes every type.
    void Clear() override;
    // Loads a breakers file; a missing file leaves the list as it is.
    void Load(const std::string& path);
    // The first type with exactly this name, or null.
    TBreakerProperties* Find(const AnsiString& name) const;
};

// The device of a retarder placement: a fixed value (mode 0) or a value computed from its type.
class TBreakerDevice {
public:
    virtual ~TBreakerDevice() = default;
    virtual double ComputedValue(double a, double b);
    virtual void SetPosition(int i);
    virtual void SelectPosition(double value);
    virtual double Divisor() const;
    virtual void BindProperties(TBreakerProperties* p);
    virtual void Reset() {}

    // The value the plan's queries use: fixed in mode 0, computed in mode 1, else 0.
    double Value(double a, double b);

    unsigned char Mode = 0;  // 0 fixed value, 1 computed
    TBreakerProperties* Properties = nullptr;
    double FixedValue = 0;
};

class TWGBreakerDevice : public TBreakerDevice {
public:
    double ComputedValue(double a, double b) override;
    void BindProperties(TBreakerProperties* p) override;
};

// Devices of the types with braking positions.
class TPositionBreakerDevice : public TBreakerDevice {
public:
    void SetPosition(int i) override;
    void SelectPosition(double value) override;
    double s = 0;  // the current position's value

protected:
    TPositionBreakerProperties* PositionProperties() const;
    // (s - B0) / (last position's first value - B0); 0 when that divisor is 0.
    double PositionFactor() const;
};

class TRNZBreakerDevice : public TPositionBreakerDevice {
public:
    double ComputedValue(double a, double b) override;
    double Divisor() const override;
    void BindProperties(TBreakerProperties* p) override;
    void Reset() override { given = false; }

private:
    bool given = false;  // the value was handed out since the last reset
};

class TPRBreakerDevice : public TPositionBreakerDevice {
public:
    double ComputedValue(double a, double b) override;
    void BindProperties(TBreakerProperties* p) override;
};

// A retarder placement: a device of the type named in its record, laid over its sections.
class TRM_Breaker : public TDevice {
public:
    TRM_Breaker(TPlanModel* model, int number) : Model(model), Number(number) {}
    static constexpr int DeviceKind = 2;

    void Step(double) override {}
    void SetState(int, double) {}
    // "number type index"; an empty type name without a device.
    AnsiString Dump() const;
    // The retarding value for load a and weight b; 0 without a device.
    double Value(double a, double b) { return Device ? Device->Value(a, b) : 0.0; }
    // Fixes the value: mode 0 with value v.
    void SetResist(double v);
    const TBreakerProperties* Properties() const { return Device ? Device->Properties : nullptr; }

    TPlanModel* Model;
    int Number;
    int Index = 0;
    std::unique_ptr<TBreakerDevice> Device;
};

// Makes the device that matches a type's kind; null for a kind without one.
std::unique_ptr<TBreakerDevice> CreateBreakerDevice(int kind);
