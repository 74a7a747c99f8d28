# Forms 202A and 202B: the lump-sum dealer's lists of purchases and of sales.

# The trigger row 10 is the blank row under the prepared rows. The older layout writes the
# year into C4, over the column title.
template VAT_RET_202A_m.xls
sheet List_Showing_Purchase
cell E1 Form 202A: list of purchases
cell B1 TIN
cell B2 Period
cell B3 Year
cell A4 Sr No
cell B4 Invoice No
cell C4 Invoice Date
cell D4 Name of Seller
cell E4 TIN
cell F4 Commodity
cell G4 Taxable Amount
cell H4 VAT
cell I4 Additional Tax
cell J4 Total
cell L4 Check: Taxable + VAT + Additional Tax
list 5 5
each A =ROW()-{first-1}
each L =G{r}+H{r}+I{r}
cell B{last+2} Total
cell G{last+2} =SUM(G{first}:G{last+1})
cell H{last+2} =SUM(H{first}:H{last+1})
cell I{last+2} =SUM(I{first}:I{last+1})
cell J{last+2} =SUM(J{first}:J{last+1})
cell L{last+2} =SUM(L{first}:L{last+1})

# The trigger row 11 is the last prepared row.
template VAT_RET_202B_m.xls
sheet List of Sales
cell A1 Form 202B: list of sales
cell B2 TIN
cell B3 Period
cell B4 Year
cell A6 Sr No
cell B6 Invoice No
cell C6 Invoice Date
cell D6 Name of Purchaser
cell E6 TIN
cell F6 Commodity
cell G6 Bill Amount
list 7 5
each A =ROW()-{first-1}
cell B{last+2} Total
cell G{last+2} =SUM(G{first}:G{last+1})
