#pragma once
// The Qt back end: creates the QApplication, makes peers for windowed controls, runs native
// events inside the model's message loop and shows native dialogs.
#include "platform/ui/core/Peer.h"

#include <functional>
#include <memory>
#include <string>

class TWinControl;

// Starts Qt and installs the back end and the native dialog service; call once, first.
void InitQtBackend(int& argc, char** argv);
// Uninstalls the back end and ends Qt (destroy the forms before).
void DoneQtBackend();

// Makes the peer for controls whose PeerClassName() is peerClass; registered makers replace
// earlier ones. Unknown classes get the custom-drawn window peer.
using TQtPeerMaker = std::function<std::unique_ptr<TWindowPeer>(TWinControl* control)>;
void RegisterQtPeerClass(const std::string& peerClass, TQtPeerMaker maker);
