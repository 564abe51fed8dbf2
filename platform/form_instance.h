#pragma once
// One instance of a form class that exists only while it is open, as a dialog does: made on first
// use, released once its window has unloaded. The release waits until the handler that unloaded the
// form (its own OK button, say) has returned, since that handler is still running on the form.

#include <functional>
#include <memory>

#include "platform/forms.h"
#include "platform/runtime.h"

namespace corvane {

template <class F>
class FormInstance {
  public:
    using Factory = std::function<std::unique_ptr<F>()>;
    FormInstance(Runtime& runtime, Factory make)
        : runtime_(runtime), make_(std::move(make)), self_(std::make_shared<FormInstance*>(this)) {}

    // The form, made now if it does not exist.
    F& get() {
        if (!form_) {
            form_ = make_();
            form_->window.onUnloaded = [this] { releaseLater(); };
        }
        return *form_;
    }
    F* find() const { return form_.get(); }

  private:
    void releaseLater() {
        runtime_.post([weak = std::weak_ptr<FormInstance*>(self_)] {
            const auto self = weak.lock();
            // Opened again before this ran: that is the form the user now sees.
            if (self && (*self)->form_ && !(*self)->form_->window.loaded()) (*self)->form_.reset();
        });
    }

    Runtime& runtime_;
    Factory make_;
    std::unique_ptr<F> form_;
    std::shared_ptr<FormInstance*> self_;
};

}  // namespace corvane
