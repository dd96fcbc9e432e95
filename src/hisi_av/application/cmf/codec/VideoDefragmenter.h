#pragma once

#include "hisi_av/application/cmf/codec/Defragmenter.h"
#include "xptools/Delegate.h"

namespace Cmf {

// The subscriber list shared by the video defragmenters.
//
// Threads: none; subscribe, unsubscribe and feed on one thread.
class VideoDefragmenter : public Defragmenter {
public:
    void Subscribe(const Functor_t& functor) override;
    void Unsubscribe(const Functor_t& functor) override;

protected:
    XP::CDelegate<void(const AccessUnit&)> m_Delegate;
};

}  // namespace Cmf
