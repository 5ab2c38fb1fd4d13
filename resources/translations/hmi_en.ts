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
    <message>
        <source>How can we help?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paying</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status bar icons</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fast Charge&lt;/b&gt; on the home screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Present your NFC or credit card on the Paypad in front of the charger.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plug the charging cable into your vehicle.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check your choice on the &lt;b&gt;Standby&lt;/b&gt; screen and touch &lt;b&gt;Start&lt;/b&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Charging ends when your vehicle reports a full battery. While it runs, the screen shows the state of charge, the energy charged, the time spent and the cost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Charge a set amount</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fixed Amount&lt;/b&gt; on the home screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose an amount (€5 to €30) or a quantity (5 to 30 kWh), or touch &lt;b&gt;Custom&lt;/b&gt; and type any value up to 100.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt;. The other value is worked out at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pay, plug in and touch &lt;b&gt;Start&lt;/b&gt;, as for Fast Charge.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>While charging, the screen shows the energy still to go and the time remaining.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How to pay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pay with an NFC card or a credit card on the Paypad in front of the charger when the screen asks how you would like to pay.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Energy costs %1. The cost so far is shown while charging, the total on the summary.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep your card at hand: the same card ends the session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If a card is refused, a message asks you to use another one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How to stop charging</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Stop&lt;/b&gt; on the charging screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Present the card you paid with on the Paypad.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt; to end the charging process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check the summary, touch &lt;b&gt;Confirm&lt;/b&gt; and then &lt;b&gt;OK&lt;/b&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unplug the cable and hang it back on the charger.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before charging starts, &lt;b&gt;Abort&lt;/b&gt; on the Standby screen ends the session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What the icons mean</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cable plugged into your vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cable not plugged in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Charger online</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Online, but the charging network cannot be reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No network connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to the home screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>power</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The authorization has expired: the cable was not plugged in in time. Please start again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Card not accepted. Please try another card.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The central system rejected the transaction.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The central system did not confirm the transaction.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped before any energy was delivered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No energy was delivered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped by the central system.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped by a charger fault.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cable was unplugged at the car.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Session ended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temporarily out of order</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
