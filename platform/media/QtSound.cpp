// QAudioSink output with a timed null fallback. Only QAudioSink is used: the higher-level Qt sound
// classes either never report the end of a clip or crash when the machine has no audio device.
#include "platform/media/QtSound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <thread>

namespace {

// How long after the clip's length a device that never reports the end is given up.
constexpr int kDeviceGraceMs = 3000;

QAudioFormat ToQt(const TWaveFormat& f)
{
    QAudioFormat q;
    q.setSampleRate(static_cast<int>(f.SampleRate));
    q.setChannelCount(f.Channels);
    q.setSampleFormat(f.BitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return q;
}

QByteArray Samples(const TWave& w)
{
    return QByteArray(reinterpret_cast<const char*>(w.Data.data()), static_cast<qsizetype>(w.Data.size()));
}

QAudioDevice DeviceFor(TQtSoundOutput::TDevice mode, const TWaveFormat& format)
{
    if (mode == TQtSoundOutput::TDevice::Null) return {};
    QAudioDevice dev = QMediaDevices::defaultAudioOutput();
    if (dev.isNull() || !dev.isFormatSupported(ToQt(format))) return {};
    return dev;
}

// One asynchronous stream. The end of a clip (the sink going idle, or the timer of the null
// device) is handed on through a queued call, so the completion handler never runs inside Start
// or inside a signal of the sink it may destroy.
class Voice : public TSoundVoice {
public:
    explicit Voice(TQtSoundOutput::TDevice m) : mode(m) {}
    ~Voice() override { Release(); }

    void Start(std::shared_ptr<const TWave> clip, std::function<void()> onFinished) override
    {
        Stop();
        done = std::move(onFinished);
        playing = true;
        const unsigned myRun = ++run;
        int waitMs = static_cast<int>(clip->DurationMs());

        const QAudioDevice dev = DeviceFor(mode, clip->Format);
        if (!dev.isNull()) {
            bytes = Samples(*clip);
            buffer = std::make_unique<QBuffer>(&bytes);
            buffer->open(QIODevice::ReadOnly);
            sink = std::make_unique<QAudioSink>(dev, ToQt(clip->Format));
            QObject::connect(sink.get(), &QAudioSink::stateChanged, &context, [this, myRun](QAudio::State s) {
                if (s == QAudio::IdleState || s == QAudio::StoppedState) Ended(myRun);
            });
            sink->start(buffer.get());
            if (sink->error() == QAudio::NoError && sink->state() != QAudio::StoppedState)
                waitMs += kDeviceGraceMs;
            else
                ReleaseSink();  // the device refused: fall back to the null device
        }
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);  // a coarse timer may end the clip early
        QObject::connect(timer.get(), &QTimer::timeout, &context, [this, myRun] { Ended(myRun); });
        timer->start(waitMs);
    }

    void Stop() override
    {
        ++run;
        playing = false;
        done = nullptr;
        Release();
    }

    bool IsPlaying() const override { return playing; }

private:
    void Ended(unsigned which)
    {
        QMetaObject::invokeMethod(&context, [this, which] {
            if (which != run || !playing) return;
            playing = false;
            Release();
            auto cb = std::move(done);
            done = nullptr;
            if (cb) cb();
        }, Qt::QueuedConnection);
    }

    void ReleaseSink()
    {
        if (sink) {
            QObject::disconnect(sink.get(), nullptr, &context, nullptr);
            sink->stop();
        }
        sink.reset();
        buffer.reset();
        bytes.clear();
    }

    void Release()
    {
        ReleaseSink();
        timer.reset();
    }

    TQtSoundOutput::TDevice mode;
    QObject context;  // receiver of every connection: destroying the voice cuts them all
    std::unique_ptr<QTimer> timer;
    std::unique_ptr<QAudioSink> sink;
    std::unique_ptr<QBuffer> buffer;
    QByteArray bytes;
    std::function<void()> done;
    bool playing = false;
    unsigned run = 0;
};

// Plays a clip on the device from a helper thread with its own event loop; returns when the
// device reports the end, refuses the clip, or the guard time has passed.
void PlayOnDevice(const QAudioDevice& dev, const TWave& clip)
{
    QByteArray data = Samples(clip);
    const QAudioFormat format = ToQt(clip.Format);
    const int guardMs = static_cast<int>(clip.DurationMs()) + kDeviceGraceMs;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QAudioSink sink(dev, format);
        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State s) {
            if (s == QAudio::IdleState || s == QAudio::StoppedState) loop.quit();
        });
        sink.start(&buffer);
        if (sink.error() == QAudio::NoError && sink.state() != QAudio::StoppedState) {
            guard.start(guardMs);
            loop.exec();
        }
        sink.stop();
    }));
    worker->start();
    worker->wait();
}

} // namespace

TQtSoundOutput::TQtSoundOutput(TDevice d) : device(d) {}

std::unique_ptr<TSoundVoice> TQtSoundOutput::NewVoice() { return std::make_unique<Voice>(device); }

void TQtSoundOutput::PlaySync(const TWave& clip)
{
    QElapsedTimer elapsed;
    elapsed.start();
    const QAudioDevice dev = DeviceFor(device, clip.Format);
    if (!dev.isNull()) PlayOnDevice(dev, clip);
    // A refused or early-ending device still takes the clip's length, as the null device does.
    const qint64 rest = static_cast<qint64>(clip.DurationMs()) - elapsed.elapsed();
    if (rest > 0) std::this_thread::sleep_for(std::chrono::milliseconds(rest));
}

QAudioDevice TQtSoundOutput::UsableDevice(const TWaveFormat& format) const { return DeviceFor(device, format); }

void InstallQtSoundOutput() { SetSoundOutput(std::make_shared<TQtSoundOutput>()); }
