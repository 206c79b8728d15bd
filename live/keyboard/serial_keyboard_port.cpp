#include "live/keyboard/serial_keyboard_port.h"

#include <QFileInfo>
#include <QSerialPort>

#include "core/client_log.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace {

constexpr int kFollowingByteMs = 10;  // a frame's bytes follow each other within this

bool ApplyDataBits(QSerialPort& port, int dataBits) {
  if (dataBits < 5 || dataBits > 8) return false;
  return port.setDataBits(static_cast<QSerialPort::DataBits>(dataBits));
}

bool ApplyParity(QSerialPort& port, int verify) {
  switch (verify) {
    case kParityOdd: return port.setParity(QSerialPort::OddParity);
    case kParityEven: return port.setParity(QSerialPort::EvenParity);
    case kParityMark: return port.setParity(QSerialPort::MarkParity);
    case kParitySpace: return port.setParity(QSerialPort::SpaceParity);
    default: return port.setParity(QSerialPort::NoParity);
  }
}

bool ApplyStopBits(QSerialPort& port, int stopBits) {
  if (stopBits == kStopBitsTwo) return port.setStopBits(QSerialPort::TwoStop);
  if (stopBits == kStopBitsOneAndHalf) {
    if (port.setStopBits(QSerialPort::OneAndHalfStop)) return true;
    // Serial drivers here know one or two stop bits only. The keyboard port
    // only receives, and a receiver checks just the first stop bit, so two
    // stop bits read a sender's one and a half alike.
    port.clearError();
    WriteLog(6, "CPTZKeyboardCtrl::OpenCom 1.5 stop bits not supported, using 2!");
    return port.setStopBits(QSerialPort::TwoStop);
  }
  return port.setStopBits(QSerialPort::OneStop);
}

// The flow control the settings ask for. XON/XOFF must stay off unless asked
// for: in the keyboard's binary frames 0x11 and 0x13 are ordinary bytes.
bool ApplyFlowControl(QSerialPort& port, int flowControl) {
  switch (flowControl) {
    case kFlowHardware: return port.setFlowControl(QSerialPort::HardwareControl);
    case kFlowSoftware: return port.setFlowControl(QSerialPort::SoftwareControl);
    default: return port.setFlowControl(QSerialPort::NoFlowControl);
  }
}

}  // namespace

std::string KeyboardComDevice(int port) {
  if (port < 1) return {};
  const std::string link = paths::NativePath(paths::ProgramFolder() + "COM" + std::to_string(port));
  const QFileInfo linked(QString::fromStdString(link));
  // The link's target names the device, so that every name of one device
  // shares the device's lock.
  if (linked.exists()) return linked.canonicalFilePath().toStdString();
  return "/dev/ttyS" + std::to_string(port - 1);
}

CKeyboardSerialPort::CKeyboardSerialPort() = default;

CKeyboardSerialPort::~CKeyboardSerialPort() { CloseCom(); }

bool CKeyboardSerialPort::IsOpen() const { return m_port && m_port->isOpen(); }

int CKeyboardSerialPort::OpenCom(const KeyboardParams& params) {
  if (IsOpen()) return 1;
  const std::string device = KeyboardComDevice(params.COMPort);
  if (device.empty()) return 0;
  auto port = std::make_unique<QSerialPort>();
  port->setPortName(QString::fromStdString(device));
  if (!port->open(QIODevice::ReadOnly)) return 0;
  const bool applied = port->setBaudRate(params.BandRate) && ApplyDataBits(*port, params.DataBits) &&
                       ApplyParity(*port, params.Verify) && ApplyStopBits(*port, params.StopBits) &&
                       ApplyFlowControl(*port, params.FlowControl);
  if (!applied) {
    WriteLog(3, "CPTZKeyboardCtrl::OpenCom SetCommState  COM error!");
    port->close();
    return 0;
  }
  port->clear(QSerialPort::Input);
  m_port = std::move(port);
  return 1;
}

int CKeyboardSerialPort::CloseCom() {
  if (IsOpen()) {
    WriteLog(6, "CPTZKeyboardCtrl::CloseCom close COM!");
    m_port->close();
    m_port.reset();
    WriteLog(6, "CPTZKeyboardCtrl::CloseCom exit close COM!");
  } else {
    m_port.reset();
    WriteLog(6, "CPTZKeyboardCtrl::CloseCom COM is not connected,close COM return!");
  }
  return 1;
}

// Reads and clears the port's error state: 0 no error (a time-out of a wait
// is none), -1 an error: the received bytes are purged, and a device that is
// gone is closed.
int CKeyboardSerialPort::TakeError() {
  const QSerialPort::SerialPortError error = m_port->error();
  if (error == QSerialPort::NoError) return 0;
  m_port->clearError();
  if (error == QSerialPort::TimeoutError) return 0;
  if (error == QSerialPort::ResourceError || !m_port->isOpen()) {
    WriteLog(3, "CPTZKeyboardCtrl::ReadPort COM lost, error=%d!", static_cast<int>(error));
    CloseCom();
    return -1;
  }
  m_port->clear(QSerialPort::Input);
  return -1;
}

int CKeyboardSerialPort::ReadPort(uint8_t* buffer, int size, int waitMs) {
  if (!IsOpen()) return 0;
  if (TakeError() < 0) return -1;
  if (m_port->bytesAvailable() == 0) {
    m_port->waitForReadyRead(waitMs);
    if (TakeError() < 0) return -1;
    if (m_port->bytesAvailable() == 0) return 0;
  }
  while (m_port->bytesAvailable() < size && m_port->waitForReadyRead(kFollowingByteMs)) {
  }
  if (TakeError() < 0) return -1;
  const qint64 count = m_port->read(reinterpret_cast<char*>(buffer), size);
  if (count < 0) return TakeError() < 0 ? -1 : 0;
  return static_cast<int>(count);
}
