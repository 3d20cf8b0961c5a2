#include "panel_jobs.h"

#include "bmp_writer.h"
#include "pictures.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <cstdio>

namespace host {
namespace {

constexpr int kOptionsTemplate = 9;
constexpr int kOptionsClose = 8;
constexpr int kImageCorrectionSection = 1050;
constexpr int kImageCorrectionTemplate = 111;
constexpr int kOverlaySection = 1056;
constexpr int kOverlayTemplate = 117;
constexpr int kPanelClose = 1045;

int openedCamera() {
  for (int index = 1; index <= static_cast<int>(vzsim::cameras().size()); ++index)
    if (vzsim::isOpen(index)) return index;
  return 0;
}

// Opens the options window and the panel of a section whose button the
// window keeps hidden: the command reaches the window all the same.
platform::Window openPanel(HostSession& session, int sectionButton, int panelTemplate) {
  session.control(ACQCMD_OPTIONS_WINDOW, 0, nullptr);
  platform::Window options = platform::headless::findDialog(kOptionsTemplate);
  if (options == nullptr) return nullptr;
  platform::sendMessage(options, platform::WM_COMMAND, platform::makeWParam(static_cast<unsigned>(sectionButton), platform::BN_CLICKED), 0);
  return platform::headless::findDialog(panelTemplate);
}

void closePanelAndWindow(platform::Window panel) {
  if (panel != nullptr) platform::headless::clickButton(panel, kPanelClose);
  if (platform::Window options = platform::headless::findDialog(kOptionsTemplate))
    platform::headless::clickButton(options, kOptionsClose);
}

std::string savePreview(HostSession& session, const CaptureOptions& options, const std::string& name) {
  session.pump(0.5);
  const auto frame = vzsim::lastDisplayedFrame(openedCamera());
  if (!frame) return "";
  const std::string path = options.outputFolder + "/" + name;
  return saveBottomUpPicture(frame->pixels, frame->width, frame->height, frame->bytesPerPixel, path) ? path : "";
}

std::string status(platform::Window panel, int id) { return platform::headless::controlInfo(panel, id).text; }

} // namespace

std::vector<std::string> runCorrections(HostSession& session, const CaptureOptions& options) {
  std::vector<std::string> written;
  if (!session.openDisplay()) return written;
  const int camera = openedCamera();
  const std::string before = savePreview(session, options, "preview-uncorrected.png");
  if (!before.empty()) written.push_back(before);

  platform::Window panel = openPanel(session, kImageCorrectionSection, kImageCorrectionTemplate);
  if (panel == nullptr) {
    std::printf("  the image correction panel did not open\n");
    return written;
  }
  // The prompts ("close all lights", "place the camera towards the
  // background") are answered OK by the platform's default answer.
  vzsim::setScene(camera, vzsim::Scene::Covered);
  session.pump(0.2);
  platform::headless::clickButton(panel, 1106);  // dark frame: Grab new frame
  std::printf("  dark frame: %s\n", status(panel, 1105).c_str());
  vzsim::setScene(camera, vzsim::Scene::Flat);
  session.pump(0.2);
  platform::headless::clickButton(panel, 1107);  // background: Grab new frame
  std::printf("  background: %s\n", status(panel, 1108).c_str());
  vzsim::setScene(camera, vzsim::Scene::Chart);
  platform::headless::clickButton(panel, 1066);  // Use dark frame subtraction
  platform::headless::clickButton(panel, 1065);  // Use background correction
  const std::string after = savePreview(session, options, "preview-corrected.png");
  if (!after.empty()) written.push_back(after);
  closePanelAndWindow(panel);
  return written;
}

std::vector<std::string> runOverlay(HostSession& session, const CaptureOptions& options, const std::string& bitmap) {
  std::vector<std::string> written;
  std::string overlayPath = bitmap;
  if (overlayPath.empty()) {
    overlayPath = options.outputFolder + "/overlay.bmp";
    if (!writeDemoOverlay(overlayPath, options.outputFolder + "/overlay-alpha.bmp")) {
      std::printf("  could not write the demonstration overlay\n");
      return written;
    }
    written.push_back(overlayPath);
  }
  if (!session.openDisplay()) return written;
  platform::Window panel = openPanel(session, kOverlaySection, kOverlayTemplate);
  if (panel == nullptr) {
    std::printf("  the overlay panel did not open\n");
    return written;
  }
  platform::headless::queueOpenFileAnswer(overlayPath);
  platform::headless::clickButton(panel, 1029);  // Open File
  std::printf("  overlay file: %s\n", status(panel, 1028).c_str());
  platform::headless::clickButton(panel, 1066);  // position: middle, centre
  platform::headless::clickButton(panel, 1030);  // Use alpha blending
  platform::headless::clickButton(panel, 1031);  // Value :
  platform::headless::typeText(panel, 1032, "70");
  platform::headless::clickButton(panel, 1038);  // Apply
  platform::headless::clickButton(panel, 1027);  // Use bitmap overlay
  platform::headless::clickButton(panel, 1035);  // On Preview
  platform::headless::clickButton(panel, 1036);  // On Capture
  const std::string preview = savePreview(session, options, "preview-overlay.png");
  if (!preview.empty()) written.push_back(preview);
  closePanelAndWindow(panel);

  CaptureOptions capture = options;
  capture.captureName = "capture-overlay";
  for (const auto& path : runCapture(session, capture)) written.push_back(path);
  return written;
}

} // namespace host
