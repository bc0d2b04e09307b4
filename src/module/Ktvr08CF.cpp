#include "Ktvr08CF.h"

#include "rtti/Publish.h"

namespace kvx {

TfrmKtvr08::TfrmKtvr08(rt::TComponent* AOwner) : TfrmBaseGene(AOwner) {}

KVRT_PUBLISHED(TfrmKtvr08) {}

} // namespace kvx
