# Form 3B: the central sales tax return.
template CST_RET_FORM_3B_NEW.xls

sheet Turnover
cell A1 Turnover of the period
cell A3 Gross turnover (all sales)
cell A5 Sales other than central sales and tax classes 9, 11, 12 and 18
cell A7 Sales of tax class 11
cell A8 Central sales at rate 0
cell A9 Sales of tax class 9
cell A13 Tax-free sales and taxable value of central sales

sheet Sales by Rate
cell A1 Central sales by rate
cell A3 Rate %
cell B3 Taxable Amount

sheet Declarations
cell A1 Declaration forms received

sheet Tax Account
cell A1 Central sales tax account
cell B2 Credit
cell C2 Debit
cell A3 Postings other than bills (tax and taxable value)
cell A4 Sale returns of central sales (taxable amount and tax)
cell A5 Total
cell A6 Difference
cell A7 Tax payable (B) or paid in excess (C)

sheet Remarks
cell A1 Remarks

sheet Tax Payable
cell A1 Tax payable
cell A2 Net of the tax account: credit less debit (sheet Tax Account, row 5)
cell B2 ='Tax Account'!B5-'Tax Account'!C5
cell A7 Paid in excess (+) or payable (-) as per the tax account
cell A9 Set off against the tax of class-18 sales
cell A11 Balance
cell B11 =B2-B7-B9
