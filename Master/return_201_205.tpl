# Forms 201 (monthly VAT return) and 205 (annual VAT return). Form 205 has the sheets of
# Form 201 and a seventh sheet of VAT payments. Where the two builders write different figures
# into a shared cell, its label says what Form 205 puts there.

template VAT_RET_201_Monthly_new.xls

sheet Turnover
cell A1 Turnover of the period
cell B2 Sales
cell C2 Purchases
cell A8 All bills
cell A10 Bills of tax class 4 (sales) and 5 (purchases)
cell A12 Bills of tax class 9 (sales) and 8 (purchases)
cell A15 Bills of tax class 7 (purchases)
cell A16 Deductions (sheet Deductions, row 24)
cell A17 Tax-free bills and taxable value of taxed bills

sheet Tax Rates
cell A1 Output tax and purchase tax by rate
cell A2 Rate
cell B2 Kind
cell C2 Rate %
cell E2 Taxable Amount
cell F2 VAT
cell G2 Additional Tax
cell H2 Total

sheet Input Tax
cell A1 Input tax
cell A3 Taxable value behind input tax credit postings
cell A4 Taxed purchases: taxable amount and tax
cell A5 Purchases of tax class 6
cell A8 Rate
cell B8 Rate %
cell D8 Taxable Amount
cell E8 VAT
cell F8 Additional Tax

sheet Balance
cell A1 Tax credit and balance
cell A3 Credit brought forward from the previous period (Form 205: the VAT account's opening credit)
cell A4 Input tax of the period (sheet Input Tax, VAT and additional tax)
cell B4 =SUM('Input Tax'!E9:F32767)
cell A5 Total tax credit
cell B5 =B3+B4
cell A6 Adjustment of the VAT account (sheet Deductions, row 17)
cell A7 Tax credit after the adjustment
cell A9 Output tax and purchase tax (sheet Tax Rates, VAT and additional tax)
cell B9 =SUM('Tax Rates'!F3:G32767)
cell A10 Other tax payable (entered by hand)
cell A20 Total tax payable
cell B20 =SUM(B9:B19)
cell A22 Tax on sale returns
cell A26 Tax credit after the adjustment (row 7)
cell A27 Total credit
cell B27 =SUM(B22:B26)
cell A28 Net tax payable
cell A29 Excess credit
cell A30 Excess credit set off against the tax of class-18 sales
cell A32 Credit carried forward

sheet Declaration
cell A1 Declaration
cell A3 I declare that the particulars of this return are true and complete.

sheet Deductions
cell A1 Deductions from turnover
cell B2 Output tax side
cell C2 Input tax side
cell A6 Sale returns (Form 205: other than those of tax classes 12, 18 and C)
cell A10 Tax on sale returns
cell A13 VAT account postings: debit (B); purchase returns and credit postings (C)
cell A17 Adjustment of the VAT account: increase (B) or decrease (C) of the credit
cell A21 Bills of tax class 11 (sales) and 10 (purchases)
cell A23 Sales less returns of tax classes 12, 18 and C; purchases less returns of 13 and C
cell A24 Total
cell B24 =SUM(B3:B23)
cell C24 =SUM(C3:C23)

template VAT_RET_205_Yearly_new.xls
copy VAT_RET_201_Monthly_new.xls
sheet Payments
cell A1 VAT payments by month (with the April shift, April's payments count for the previous year and each month is listed under the one before)
cell A2 Month
cell B2 Paid into the VAT account
cell C2 Date
cell D2 Paid by bank or cash
cell E2 Date
cell F2 Total
