#pragma once
// TfrmKtvr08: the option form of the production-receipt report. It derives from the generic option
// form for now; the job and report layers will come between the two.
#include "framework/BaseGene.h"

namespace kvx {

class TfrmKtvr08 : public TfrmBaseGene {
    KVRT_CLASS(TfrmKtvr08, TfrmBaseGene)
public:
    explicit TfrmKtvr08(rt::TComponent* AOwner);
};

} // namespace kvx
