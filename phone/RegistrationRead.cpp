#include "phone/RegistrationRead.h"

#include "phone/AtConversation.h"
#include "phone/PhoneCheck.h"

#include <atomic>

namespace vantaro {

Registration ReadRegistration(SerialPorts& ports, const std::string& portName, Clock& clock,
                              const RegistrationTimings& timings) {
    if (portName.empty()) return Registration::Unknown;
    PortOpenResult opened = ports.Open(portName);
    if (opened.error != PortOpenError::None || !opened.port) return Registration::Unknown;
    const std::atomic<bool> stop{false};
    AtConversation conversation(*opened.port, clock, stop);
    // A port with nothing on its far side would cost the whole budget on every question.
    if (!conversation.Send("AT", timings.probeMs).Ok()) return Registration::Unknown;
    Registration registration = RegistrationFrom(conversation.Send("AT+CREG?", timings.questionMs));
    // Some data cards answer only for the packet service.
    if (registration == Registration::Unknown)
        registration = RegistrationFrom(conversation.Send("AT+CGREG?", timings.questionMs));
    return registration;
}

} // namespace vantaro
