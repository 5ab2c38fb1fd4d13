<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>screens</name>
    <message>
        <source>back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information: The transaction is stopped by Remote command!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information: The cable is unplugged at car side!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information: The transaction is rejected by the Central System!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information: The card is invalid on this charge point!! Please change another one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Reason:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>charge your battery full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>togo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>remain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>charged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>spent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fast Charge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Charge your battery full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fixed Amount</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Charge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set up a charge amount</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto manage the charging load makes the charging process more efficient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set the Amount/Quantity to charge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>your vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Amount</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Quantity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>or</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You set to: Charge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kWh | Cost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Amount(Max.100)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Quantity(Max.100)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How would you like to pay?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use your</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NFC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Credit Card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>on the</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paypad in front of the Charger</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please plug the charger cable into</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standby</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You set to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>charging</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>preparing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>suspended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You need to use the card which you have</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>chosen for the payment method to end this</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure to END the</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>charging process?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete !</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Payment Processed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Successfully!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thank you for using!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
