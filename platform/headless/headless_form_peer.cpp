#include "platform/headless/headless_form_peer.h"

namespace corvane {

void HeadlessFormPeer::topmostChanged() {
    log_.push_back("SetTopmost(" + form_.name() + (form_.topmost() ? ",1)" : ",0)"));
}

void HeadlessFormPeer::controlChanged(Control&) { ++repaints; }

}  // namespace corvane
