#pragma once

#include "hisi_av/application/cmf/codec/AccessUnit.h"
#include "hisi_av/application/cmf/ts/Fragment.h"
#include "xptools/Functor.h"

namespace Cmf {

// Reassembles the elementary-stream fragments of one video PID into access units and hands each
// complete unit to its subscribers.
class Defragmenter {
public:
    using Functor_t = XP::CFunctor<void(const AccessUnit&)>;

    virtual ~Defragmenter() = default;

    // Takes all bytes of the fragment; access units completed on the way are delivered before
    // the call returns.
    virtual void PutFragment(const Fragment& fragment) = 0;
    virtual void Subscribe(const Functor_t& functor) = 0;
    virtual void Unsubscribe(const Functor_t& functor) = 0;
};

}  // namespace Cmf
