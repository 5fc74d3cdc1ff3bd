#pragma once
// A higher layer's header, which the lower folders of this tree reach up to.
