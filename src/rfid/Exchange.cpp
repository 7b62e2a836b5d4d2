#include "Exchange.h"

namespace tessar {

int32_t exchange(Link& link, uint8_t command, std::span<const uint8_t> data,
                 std::chrono::milliseconds limit, Reply& reply)
{
    const std::optional<CommandFrame> frame = encodeCommand(command, data);
    if (!frame)
        return BadArgument;
    link.discardPending();
    // A frame that does not get out shows up as a missing reply.
    link.send(frame->view());
    return readReply(link, limit, reply);
}

} // namespace tessar
