#pragma once

#include "Fakes.h"
#include "app/GlimmerboxForm.h"

#include <memory>

// The main window on the given services, its pop-ups recorded instead of shown, started the way
// the program starts it.
inline std::unique_ptr<GlimmerboxForm> startedForm(const Services &services,
                                                   FakeConfirmations *&confirmations)
{
    auto form = std::make_unique<GlimmerboxForm>(services);
    auto recording = std::make_unique<FakeConfirmations>();
    confirmations = recording.get();
    form->setConfirmations(std::move(recording));
    form->startUp();
    return form;
}
