#include "hisi_av/application/cmf/codec/VideoDefragmenter.h"

namespace Cmf {

void VideoDefragmenter::Subscribe(const Functor_t& functor) {
    m_Delegate += functor;
}

void VideoDefragmenter::Unsubscribe(const Functor_t& functor) {
    m_Delegate -= functor;
}

}  // namespace Cmf
