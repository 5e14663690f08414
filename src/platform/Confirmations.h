#pragma once

// The self-closing pop-ups that tell the user which command has just started. Each call returns
// when its pop-up has closed.
class IConfirmations
{
public:
    virtual ~IConfirmations() = default;
    virtual void confirmCopy() = 0;
    virtual void confirmSave() = 0;
    virtual void confirmPrint() = 0;
};
