// The view's board settings, link settings and news commands: the menus with their check
// marks, the dialogs, and the sign commands of the link core, whose messages are shown.
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/link/board_commands.h"
#include "manager/link/qt/sign_links.h"
#include "manager/settings/board_size_dlg.h"
#include "manager/settings/brightness_dlg.h"
#include "manager/settings/ip_settings_dlg.h"
#include "manager/settings/news_dlg.h"
#include "manager/settings/port_settings_dlg.h"
#include "manager/settings/run_dialog.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"

namespace {
store::WorkStore& Store() {
  return store::TheWorkStore();
}
}  // namespace

void CBrellionView::InstallSettingsCommands() {
  const auto show = [this](const signlink::Outcome& o) {
    ShowMessage(this, QString::fromStdString(o.text), QString::fromStdString(o.caption));
  };
  // A mode pair: choosing the mode already chosen writes nothing.
  const auto mode = [this](int id, int* member, int value, void (store::WorkStore::*set)(std::uint8_t)) {
    Install(id, {.run = [member, value, set] {
                   if (*member == value) return;
                   *member = value;
                   (Store().*set)(static_cast<std::uint8_t>(value));
                 },
                 .checked = [member, value] { return *member == value; }});
  };

  // Brightness.
  Install(cmd::kBrightLevels, {.run = [this] {
            CBrightnessDlg dlg(settings_.dayLevel, settings_.nightLevel, this);
            if (!RunDialog(dlg)) return;
            settings_.dayLevel = dlg.DayIndex();
            settings_.nightLevel = dlg.NightIndex();
            Store().SetLevels(dlg.DayIndex(), dlg.NightIndex());
          }});
  mode(cmd::kBrightMax, &settings_.brightMode, 0, &store::WorkStore::SetBrightMode);
  mode(cmd::kBrightDayNight, &settings_.brightMode, 1, &store::WorkStore::SetBrightMode);
  Install(cmd::kBrightApply, {.run = [this, show] {
                                SignScope scope(this);
                                show(signlink::SendBrightness(
                                    Link(), static_cast<std::uint8_t>(settings_.brightMode),
                                    static_cast<std::uint8_t>(settings_.dayLevel),
                                    static_cast<std::uint8_t>(settings_.nightLevel)));
                              },
                              .talksToSign = true});

  // Clock.
  Install(cmd::kSetClock, {.run = [this, show] {
                             SignScope scope(this);
                             show(signlink::SendClock(Link()));
                           },
                           .talksToSign = true});

  // Display window.
  mode(cmd::kWindowAlways, &settings_.windowMode, 0, &store::WorkStore::SetWindowMode);
  mode(cmd::kWindowOnly, &settings_.windowMode, 1, &store::WorkStore::SetWindowMode);
  Install(cmd::kWindowSet, {.run = [this, show] {
                              SignScope scope(this);
                              show(signlink::SendWindowMode(
                                  Link(), static_cast<std::uint8_t>(settings_.windowMode)));
                            },
                            .talksToSign = true});

  // Board size: stored on confirmation, whatever the sign then answers.
  Install(cmd::kBoardSize, {.run = [this, show] {
                              CBoardSizeDlg dlg(settings_.width, settings_.height, this);
                              if (!RunDialog(dlg)) return;
                              const signlink::BoardSize size = dlg.Size();
                              settings_.width = size.width;
                              settings_.height = size.height;
                              Store().SetHeight(size.height);
                              Store().SetWidth(size.width);
                              SignScope scope(this);
                              show(signlink::SendBoardSize(Link(), size.width, size.height));
                            },
                            .talksToSign = true});

  // Connection flag.
  mode(cmd::kConnectX, &settings_.connection, 0, &store::WorkStore::SetConnection);
  mode(cmd::kConnectO, &settings_.connection, 1, &store::WorkStore::SetConnection);
  Install(cmd::kConnectApply, {.run = [this, show] {
                                 SignScope scope(this);
                                 show(signlink::SendConnection(
                                     Link(), static_cast<std::uint8_t>(settings_.connection)));
                               },
                               .talksToSign = true});

  // News: stored before sending, so a failed send keeps the choice.
  Install(cmd::kNews, {.run = [this, show] {
                         CNewsDlg dlg(Store().NewsFlags(), this);
                         if (!RunDialog(dlg)) return;
                         Store().SetNewsFlags(dlg.Flags());
                         SignScope scope(this);
                         show(signlink::SendNews(Link(), dlg.Flags()));
                       },
                       .talksToSign = true});

  // Transmit option.
  Install(cmd::kTransmitSerial, {.run = [this] {
                                   if (TransmitOption() != 1) return;
                                   Store().SetTransmit(0);
                                   links_->SetTransmit(signlink::Transmit::kSerial);
                                   serialPort_ = store::LoadSerialPort(Store());
                                   if (!links_->ReopenSerial(serialPort_)) WarnPortNotOpen();
                                   ShowLinkText();
                                 },
                                 .checked = [this] { return TransmitOption() == 0; }});
  Install(cmd::kTransmitTcp, {.run = [this] {
                                if (TransmitOption() == 1) return;
                                Store().SetTransmit(1);
                                links_->SetTransmit(signlink::Transmit::kTcp);
                                ConnectStoredTcp();
                                ShowLinkText();
                              },
                              .checked = [this] { return TransmitOption() == 1; }});

  // Link settings. Not while an exchange runs: they replace the port or the socket under it.
  Install(cmd::kPortSetup, {.run = [this] {
                              CPortSettingsDlg dlg(links_->Line(), this);
                              if (!RunDialog(dlg)) return;
                              const signlink::SerialLine line = dlg.Line();
                              serialPort_ = line.port;
                              Store().SetSerialPort(static_cast<std::uint8_t>(line.port));
                              if (!links_->ApplyLine(line)) WarnPortNotOpen();
                              if (TransmitOption() == 0) ShowLinkText();
                            },
                            .talksToSign = true});
  Install(cmd::kIpSetup, {.run = [this] {
                            CIpSettingsDlg dlg(Store().IpAddress(), Store().TcpPort(), this);
                            if (!RunDialog(dlg)) return;
                            Store().SetIpAddress(dlg.Address());
                            Store().SetTcpPort(dlg.Port());
                            if (TransmitOption() != 1) return;
                            links_->ConnectTcp(dlg.Address(), dlg.Port());
                            ShowLinkText();
                          },
                          .talksToSign = true});
}
