# Form 202: the lump-sum dealer's return.
template VAT_RET_202_m_Monthly.xls

sheet Basic Info
cell A1 Form 202: return of a dealer paying tax as a lump sum
cell A2 TIN
cell A3 Period
cell A4 Year

sheet PartA
cell A1 Turnover
cell B2 Sales
cell C2 Purchases
cell A3 Opening: up to the day before the period
cell A4 During the period
cell A5 Closing: up to the last day of the period

sheet PartB
cell A1 Lump-sum tax
cell A2 Amount brought forward
cell A5 Turnover of the period
cell A6 Lump-sum tax at 0.5 %
cell A7 Interest
cell A8 Penalty
cell A10 Total payable
cell B10 =B2+B6+B7+B8

sheet PartC
cell A1 Purchases and input tax
cell A2 Purchases of the period
cell A4 Purchases of tax class 5
cell A8 Rate
cell B8 Rate %
cell D8 Taxable Amount
cell E8 VAT
cell F8 Additional Tax
cell A9 1 %
cell A10 5 %
cell A11 15 %
cell A12 Other rates (the last one listed)
cell A13 Total
cell D13 =SUM(D9:D12)
cell E13 =SUM(E9:E12)
cell F13 =SUM(F9:F12)
cell A14 Rows 9 to 11 hold every purchase at their rate, item-wise and bill-wise together
